// What the server's PDF and printout show: the open order's fields and, for an
// entry's output, the entry's layout, destination, printer, bin, duplex mode and
// copies. Built from the JSON texts without any drawing, so it can be tested
// on its own; a renderer turns it into pages.
#pragma once

#include <string>
#include <vector>

namespace wb {
class TWBCustomJSON;
}

namespace wb::server {

struct TDocumentLine {
  std::u16string Label;
  std::u16string Value;
};

struct TOrderDocument {
  std::u16string Title;
  std::u16string Subtitle;
  std::vector<TDocumentLine> OrderFields;   // every member of the open order, in order
  std::vector<TDocumentLine> OutputFields;  // the entry's output settings; empty for a whole-order PDF
  std::u16string Footer;
};

// order: the SIMPLEGETJSON document ({"Order":[{...}]}) or nullptr when there is
// none; entry: the entry sent with CREATEPDF / PRINT, or nullptr for CURRENTPDF.
TOrderDocument BuildOrderDocument(const TWBCustomJSON* order, const TWBCustomJSON* entry, const std::u16string& footer);

// The first element of the document's "Order" array, or nullptr.
const TWBCustomJSON* OpenOrderOf(const TWBCustomJSON* order);

// A JSON value as one line of text: strings as they are, numbers and booleans
// written out, containers as compact JSON.
std::u16string ValueText(const TWBCustomJSON* value);

}  // namespace wb::server
