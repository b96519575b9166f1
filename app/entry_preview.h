// "Vorschau als PDF": a print entry's output as a PDF instead of a printout, to
// see what the entry would print without using paper. The run sends the same
// request as a PDF entry's run — a copy of the entry with "Destination" "pdf",
// everything else as stored — and opens the PDF; the stored entry is not changed.
#pragma once

#include <memory>

#include "json/wbjson.h"

namespace wb {

class TLiveImportFrm;

// The copy the preview runs: the entry with "Destination" set to "pdf" in its place.
std::unique_ptr<TWBCustomJSON> PreviewEntryOf(const TWBCustomJSON& entry);

// Runs the preview of the entry (nullptr: the selected one). An entry that is
// no print entry gets a message instead.
void RunEntryPreview(TLiveImportFrm& frm, const TWBCustomJSON* entry);

}  // namespace wb
