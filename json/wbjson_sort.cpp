// SortByField: the in-place quicksort of a list of objects by one member's text.
#include <exception>

#include "json/wbjson_values.h"
#include "platform/errors.h"
#include "platform/locale.h"
#include "strings/strutils.h"

namespace wb {
namespace {

// What one sort needs to compare two children by a member's text.
struct TSortHelper {
  std::string FieldName;
  bool StripMarkup = false;

  std::string KeyOf(TWBCustomJSON* item) const {
    std::string text = item != nullptr ? item->StringByName(FieldName) : std::string();
    if (StripMarkup) StripHTMLMarkup(text);
    return text;
  }
  int CompareItems(TWBCustomJSON* item1, TWBCustomJSON* item2) const {
    return platform::CompareLocaleText(KeyOf(item1), KeyOf(item2), true);
  }
};

// The classic partition around the middle element's value, recursing into the
// left part and looping on the right. The scans are also held inside the range,
// so that a caller's comparison that is not consistent cannot run them past the ends.
void QuickSortItems(TWBChildList& items, int low, int high, const TWBSONList::TCompareItems& compare) {
  int i = low;
  do {
    i = low;
    int j = high;
    TWBCustomJSON* pivot = items[static_cast<std::size_t>((low + high) / 2)].get();
    do {
      while (i < high && compare(items[static_cast<std::size_t>(i)].get(), pivot) < 0) ++i;
      while (j > low && compare(items[static_cast<std::size_t>(j)].get(), pivot) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (low < j) QuickSortItems(items, low, j, compare);
    low = i;
  } while (i < high);
}

}  // namespace

void TWBSONList::SortByField(TWBSONList* list, std::string_view fieldName, const TCompareItems& compare,
                             bool stripMarkup) {
  if (list == nullptr || list->ChildCount() == 0) return;
  TWBCustomJSON* first = list->ChildAt(0);
  if (first->Member(TWBVariant(std::string(fieldName))) == nullptr) {
    throw Exception(std::string(fieldName) + " not found in Items");
  }
  const TSortHelper helper{std::string(fieldName), stripMarkup};
  if (helper.FieldName.empty()) return;
  if (compare) {
    QuickSortItems(list->children_, 0, list->ChildCount() - 1, compare);
    return;
  }
  QuickSortItems(list->children_, 0, list->ChildCount() - 1,
                 [&helper](TWBCustomJSON* item1, TWBCustomJSON* item2) { return helper.CompareItems(item1, item2); });
}

}  // namespace wb
