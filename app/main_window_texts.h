// The main window's fixed texts (shown through Ansi), one copy for
// every front end: the intro with the overview link, the editor and shortcut
// links, and the complete-PDF link.
#pragma once

namespace wb {

inline constexpr const char8_t* kIntroText =
    u8"Hiermit erzeugen Sie eine<B> Einzelausgabe</B>. Werkbank wird je nach hinterlegten Bedingungen alle "
    u8"Layouts in den jeweiligen Auftrag integrieren. <A href=\"x\">Für eine Übersicht hier klicken</A>";
inline constexpr const char8_t* kLinkText =
    u8"<A href=\"E\">Eigenschaften</A><br><br><A href=\"L\">Verknüpfung erstellen</A>";
inline constexpr const char8_t* kCompletePdfText =
    u8"<A href=\"x\">Ein <B>komplettes PDF</B> des aktuellen Auftrages erzeugen</A>";

}  // namespace wb
