// Fuzz target for the JSON reader: any bytes (a damaged entries file, a broken
// server reply) must give a tree or nil without crash, leak or undefined
// behaviour; and what the writer makes of a tree must read back to the same shape.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "json/wbjson.h"

namespace {

// Same kinds, same child counts, same member names at every level. String
// contents may differ: written bytes can form UTF-8 that the reader prefers.
bool SameShape(const wb::TWBCustomJSON* a, const wb::TWBCustomJSON* b) {
  if (a == nullptr || b == nullptr) return a == b;
  if (a->Kind() != b->Kind() || a->ChildCount() != b->ChildCount()) return false;
  if (a->Kind() == wb::js_Number) {
    return wb::FloatToText(static_cast<const wb::TWBJSONnumber*>(a)->Value(), '.') ==
           wb::FloatToText(static_cast<const wb::TWBJSONnumber*>(b)->Value(), '.');
  }
  if (a->Kind() == wb::js_List) {
    for (int i = 0; i < a->ChildCount(); ++i) {
      if (!SameShape(a->ChildAt(i), b->ChildAt(i))) return false;
    }
  }
  if (a->Kind() == wb::js_Object) {
    const auto* objectA = static_cast<const wb::TWBJSON*>(a);
    for (int i = 0; i < a->ChildCount(); ++i) {
      const auto* memberA = static_cast<const wb::TWBJSONmember*>(a->ChildAt(i));
      const auto* memberB = static_cast<const wb::TWBJSONmember*>(b->ChildAt(i));
      if (!SameShape(memberA->Value(), memberB->Value())) return false;
      // Lookups by name must agree with the members found by position.
      if (objectA->IndexOfName(memberA->Name()) > i) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = wb::TWBJSONText::Parse(text);
  if (!value) return 0;
  const std::string compact = wb::TWBJSONText::Generate(value.get());
  const std::string indented = wb::GenerateIndented(value.get());
  const auto again = wb::TWBJSONText::Parse(compact);
  const auto againIndented = wb::TWBJSONText::Parse(indented);
  if (!SameShape(value.get(), again.get()) || !SameShape(again.get(), againIndented.get())) __builtin_trap();
  if (!SameShape(again.get(), wb::TWBCustomJSON::Clone(again.get()).get())) __builtin_trap();
  return 0;
}
