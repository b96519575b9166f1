// The preview of a print entry as a PDF.
#include "app/entry_preview.h"

#include "app/live_import_frm.h"
#include "client/message_boxes.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"

namespace wb {

std::unique_ptr<TWBCustomJSON> PreviewEntryOf(const TWBCustomJSON& entry) {
  std::unique_ptr<TWBCustomJSON> copy = TWBCustomJSON::Clone(&entry);
  if (copy) copy->SetStringByName(entry_keys::Destination, "pdf");
  return copy;
}

void RunEntryPreview(TLiveImportFrm& frm, const TWBCustomJSON* entry) {
  if (entry == nullptr) entry = frm.SelectedEntry();
  if (entry == nullptr) return;
  if (!IsPrintEntry(*entry)) {
    MessageBoxes::ShowInfo(Ansi(u8"Eine Vorschau als PDF gibt es nur für Einträge, die drucken."));
    return;
  }
  std::unique_ptr<TWBCustomJSON> preview = PreviewEntryOf(*entry);
  if (preview) frm.RunEntryOutput(preview.get(), PdfHandling::Open);
}

}  // namespace wb
