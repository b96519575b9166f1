// The main window's fixed texts (UTF-8; shown through Ansi), one copy for
// every front end: the intro with the overview link, the editor and shortcut
// links, and the complete-PDF link.
#pragma once

namespace wb {

inline constexpr const char* kIntroText =
    "Hiermit erzeugen Sie eine<B> Einzelausgabe</B>. Werkbank wird je nach hinterlegten Bedingungen alle "
    "Layouts in den jeweiligen Auftrag integrieren. <A href=\"x\">Für eine Übersicht hier klicken</A>";
inline constexpr const char* kLinkText =
    "<A href=\"E\">Eigenschaften</A><br><br><A href=\"L\">Verknüpfung erstellen</A>";
inline constexpr const char* kCompletePdfText =
    "<A href=\"x\">Ein <B>komplettes PDF</B> des aktuellen Auftrages erzeugen</A>";

}  // namespace wb
