// The value classes: scalars, member pairs, lists and objects with their name index.
#include "json/wbjson_values.h"

#include <cmath>
#include <limits>

#include "json/wbjson_errors.h"
#include "json/wbjson_text.h"
#include "platform/codepage.h"

namespace wb {
namespace {

// Names handed in as 8-bit text are mostly ASCII; those are widened on the
// stack instead of through a converted string.
constexpr std::size_t kStackNameLength = 64;

template <typename Lookup>
auto WithWideName(std::string_view name, Lookup&& lookup) {
  char16_t buffer[kStackNameLength];
  if (name.size() <= kStackNameLength) {
    bool ascii = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
      const auto byte = static_cast<unsigned char>(name[i]);
      ascii = ascii && byte < 0x80;
      buffer[i] = byte;
    }
    if (ascii) return lookup(std::u16string_view(buffer, name.size()));
  }
  const std::u16string wide = platform::AnsiToWide(name);
  return lookup(std::u16string_view(wide));
}

// Round half to even, as the variant's numeric kinds turn into a position.
bool KeyToPosition(const TWBVariant& key, int32_t& position) {
  if (const bool* flag = std::get_if<bool>(&key)) {
    position = *flag ? -1 : 0;
    return true;
  }
  if (const int32_t* integer = std::get_if<int32_t>(&key)) {
    position = *integer;
    return true;
  }
  if (const TCurrency* currency = std::get_if<TCurrency>(&key)) {
    int64_t units = currency->Scaled / 10000;
    const int64_t rest = currency->Scaled % 10000;
    if (rest > 5000 || (rest == 5000 && (units & 1) != 0)) ++units;
    if (rest < -5000 || (rest == -5000 && (units & 1) != 0)) --units;
    if (units < std::numeric_limits<int32_t>::min() || units > std::numeric_limits<int32_t>::max()) return false;
    position = static_cast<int32_t>(units);
    return true;
  }
  if (const double* number = std::get_if<double>(&key)) {
    if (!std::isfinite(*number)) return false;
    double whole = std::floor(*number);
    const double fraction = *number - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    if (whole < std::numeric_limits<int32_t>::min() || whole > std::numeric_limits<int32_t>::max()) return false;
    position = static_cast<int32_t>(whole);
    return true;
  }
  return false;
}

[[noreturn]] void RaiseInvalidCast() { throw EInvalidCast(InvalidCastText()); }

template <typename T>
const T* TypedOrRaise(const TWBCustomJSON* child) {
  const T* typed = JSONAs<T>(child);
  if (typed == nullptr) RaiseInvalidCast();
  return typed;
}

}  // namespace

// ---- TWBCustomJSON -------------------------------------------------------

void TWBCustomJSON::SetBooleanByName(std::string_view name, bool value) {
  if (TWBCustomJSON* child = Member(TWBVariant(std::string(name)))) child->WriteValue(value);
}
void TWBCustomJSON::SetIntegerByName(std::string_view name, int32_t value) {
  if (TWBCustomJSON* child = Member(TWBVariant(std::string(name)))) child->WriteValue(value);
}
void TWBCustomJSON::SetCurrencyByName(std::string_view name, TCurrency value) {
  if (TWBCustomJSON* child = Member(TWBVariant(std::string(name)))) child->WriteValue(value);
}
void TWBCustomJSON::SetFloatByName(std::string_view name, double value) {
  if (TWBCustomJSON* child = Member(TWBVariant(std::string(name)))) child->WriteValue(value);
}
void TWBCustomJSON::SetStringByName(std::string_view name, std::string_view value) {
  if (TWBCustomJSON* child = Member(TWBVariant(std::string(name)))) child->WriteValue(std::string(value));
}

TWBVariant TWBCustomJSON::ReadValue() const { return {}; }
void TWBCustomJSON::WriteValue(const TWBVariant&) {}
TWBCustomJSON* TWBCustomJSON::ChildAt(int32_t) const { return nullptr; }
void TWBCustomJSON::ReplaceChildAt(int32_t, std::unique_ptr<TWBCustomJSON>) {}
int32_t TWBCustomJSON::ChildCount() const { return 0; }
TWBCustomJSON* TWBCustomJSON::Member(const TWBVariant&) const { return nullptr; }

TWBCustomJSON* TWBCustomJSON::MemberByName(std::string_view name) const {
  if (NodeClass() == TNodeClass::Object) return static_cast<const TWBJSON*>(this)->ValueByAnsiName(name);
  return Member(TWBVariant(std::string(name)));
}

std::string TWBCustomJSON::StringByName(std::string_view name) const {
  const TWBCustomJSON* member = MemberByName(name);
  if (member == nullptr) return std::string();
  if (member->NodeClass() == TNodeClass::String) {
    return platform::WideToAnsi(static_cast<const TWBJSONstring*>(member)->Value());
  }
  return VariantToAnsi(member->ReadValue());
}

int32_t TWBCustomJSON::IntegerByName(std::string_view name) const {
  int32_t value = 0;
  return TryTextToInt32(StringByName(name), value) ? value : 0;
}

bool TWBCustomJSON::BooleanByName(std::string_view name) const {
  const TWBCustomJSON* member = MemberByName(name);
  if (member == nullptr) return false;
  const TWBVariant value = member->ReadValue();
  return VariantIsNull(value) ? false : VariantToBoolean(value);
}

std::unique_ptr<TWBCustomJSON> TWBCustomJSON::Clone(const TWBCustomJSON* value) {
  if (value == nullptr) return nullptr;
  return TWBJSONText::Parse(TWBJSONText::Generate(value));
}

std::unique_ptr<TWBJSONnumber> TWBCustomJSON::CreateNumber(long double value) {
  return std::make_unique<TWBJSONnumber>(value);
}
std::unique_ptr<TWBJSONstring> TWBCustomJSON::CreateString(std::u16string_view text) {
  return std::make_unique<TWBJSONstring>(text);
}
std::unique_ptr<TWBJSONboolean> TWBCustomJSON::CreateBoolean(bool value) {
  return std::make_unique<TWBJSONboolean>(value);
}

// ---- scalars -------------------------------------------------------------

TWBVariant TWBJSONnumber::ReadValue() const { return static_cast<double>(value_); }
void TWBJSONnumber::WriteValue(const TWBVariant& value) { value_ = VariantToDouble(value); }

TWBVariant TWBJSONstring::ReadValue() const { return std::u16string(value_); }
void TWBJSONstring::WriteValue(const TWBVariant& value) {
  if (VariantIsNull(value)) {
    value_.clear();
    return;
  }
  const std::u16string text = VariantToWide(value);
  value_.assign(text);
}

TWBVariant TWBJSONboolean::ReadValue() const { return value_; }
void TWBJSONboolean::WriteValue(const TWBVariant& value) { value_ = VariantToBoolean(value); }

// ---- TWBJSONcustomlist ---------------------------------------------------

TWBJSONcustomlist::~TWBJSONcustomlist() {
  while (!children_.empty()) children_.pop_back();
}

TWBCustomJSON* TWBJSONcustomlist::ChildAt(int32_t position) const {
  if (position < 0 || position >= ChildCount()) return nullptr;
  return children_[static_cast<std::size_t>(position)].get();
}

void TWBJSONcustomlist::ReplaceChildAt(int32_t position, std::unique_ptr<TWBCustomJSON> value) {
  // A nil child would be written as nothing and make the text unreadable.
  if (position < 0 || position >= ChildCount() || value == nullptr) return;
  children_[static_cast<std::size_t>(position)] = std::move(value);
}

TWBCustomJSON* TWBJSONcustomlist::Member(const TWBVariant& key) const {
  int32_t position = 0;
  return KeyToPosition(key, position) ? ChildAt(position) : nullptr;
}

TWBCustomJSON* TWBJSONcustomlist::NameAndChildAt(int32_t position, std::string& name) const {
  name = std::to_string(position);
  return ChildAt(position);
}

int32_t TWBJSONcustomlist::AppendChild(std::unique_ptr<TWBCustomJSON> value) {
  if (value == nullptr) return -1;
  children_.push_back(std::move(value));
  return ChildCount() - 1;
}

void TWBJSONcustomlist::RemoveChildAt(int32_t position) {
  if (position < 0 || position >= ChildCount()) return;
  const auto index = static_cast<std::size_t>(position);
  children_[index].reset();
  if (index + 1 != children_.size()) children_[index] = std::move(children_.back());
  children_.pop_back();
}

int32_t TWBJSONcustomlist::IndexOfChild(const TWBCustomJSON* value) const {
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (children_[i].get() == value) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t TWBJSONcustomlist::IntegerAt(int32_t position) const {
  const TWBCustomJSON* child = TypedChildAt(position);
  if (child == nullptr) return 0;
  const long double whole = std::trunc(TypedOrRaise<TWBJSONnumber>(child)->Value());
  // Beyond 32 bits there is no sound integer to give.
  if (!(whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max())) {
    throw EConvertError(ConversionErrorText("Double", "Integer"));
  }
  return static_cast<int32_t>(whole);
}

std::string TWBJSONcustomlist::StringAt(int32_t position) const {
  const TWBCustomJSON* child = TypedChildAt(position);
  if (child == nullptr) return std::string();
  return platform::WideToAnsi(TypedOrRaise<TWBJSONstring>(child)->Value());
}

std::u16string TWBJSONcustomlist::WideStringAt(int32_t position) const {
  const TWBCustomJSON* child = TypedChildAt(position);
  if (child == nullptr) return std::u16string();
  return std::u16string(TypedOrRaise<TWBJSONstring>(child)->Value());
}

double TWBJSONcustomlist::FloatAt(int32_t position) const {
  const TWBCustomJSON* child = TypedChildAt(position);
  if (child == nullptr) return 0;
  return static_cast<double>(TypedOrRaise<TWBJSONnumber>(child)->Value());
}

bool TWBJSONcustomlist::BooleanAt(int32_t position) const {
  const TWBCustomJSON* child = TypedChildAt(position);
  if (child == nullptr) return false;
  return TypedOrRaise<TWBJSONboolean>(child)->Value();
}

// ---- TWBJSON -------------------------------------------------------------

TWBJSON::~TWBJSON() = default;

const TWBJSONmember* TWBJSON::MemberAt(int32_t position) const {
  const TWBCustomJSON* child = ChildAt(position);
  return child != nullptr && child->NodeClass() == TNodeClass::Member ? static_cast<const TWBJSONmember*>(child)
                                                                      : nullptr;
}

int32_t TWBJSON::AddMember(std::u16string_view name, std::unique_ptr<TWBCustomJSON> value) {
  if (value == nullptr) return -1;
  const int32_t position = ChildCount();
  auto member = std::make_unique<TWBJSONmember>(name, std::move(value));
  // The index refers to the member's own copy of the name.
  const std::u16string_view storedName = member->Name();
  children_.push_back(std::move(member));
  if (indexed_ && nameIndexBuilt_) nameIndex_.Insert(storedName, position);
  return position;
}

int32_t TWBJSON::IndexOfName(std::u16string_view name) const {
  if (indexed_) return NameIndex().Find(name);
  for (int32_t i = 0; i < ChildCount(); ++i) {
    const TWBJSONmember* member = MemberAt(i);
    if (member != nullptr && member->Name() == name) return i;
  }
  return -1;
}

TWBCustomJSON* TWBJSON::ValueByName(std::u16string_view name) const {
  const TWBJSONmember* member = MemberAt(IndexOfName(name));
  return member != nullptr ? member->Value() : nullptr;
}

TWBCustomJSON* TWBJSON::ValueByAnsiName(std::string_view name) const {
  return WithWideName(name, [this](std::u16string_view wide) { return ValueByName(wide); });
}

std::u16string TWBJSON::NameAt(int32_t position) const {
  const TWBJSONmember* member = MemberAt(position);
  return member != nullptr ? std::u16string(member->Name()) : std::u16string();
}

TWBCustomJSON* TWBJSON::ValueAt(int32_t position) const {
  const TWBJSONmember* member = MemberAt(position);
  if (member == nullptr || member->Name().empty()) return nullptr;
  return ValueByName(member->Name());
}

TWBCustomJSON* TWBJSON::Member(const TWBVariant& key) const {
  if (const auto* wide = std::get_if<std::u16string>(&key)) return ValueByName(*wide);
  if (const auto* ansi = std::get_if<std::string>(&key)) return ValueByAnsiName(*ansi);
  return TWBJSONcustomlist::Member(key);
}

TWBCustomJSON* TWBJSON::NameAndChildAt(int32_t position, std::string& name) const {
  name = platform::WideToAnsi(NameAt(position));
  return ValueAt(position);
}

namespace {

// Setting by name: an existing member converts the value to its own class;
// a missing one is appended with the value's natural class.
template <typename MakeValue>
void SetOrAdd(TWBJSON& object, std::string_view name, const TWBVariant& value, MakeValue&& makeValue) {
  const std::u16string wideName = platform::AnsiToWide(name);
  if (TWBCustomJSON* existing = object.ValueByName(wideName)) {
    existing->WriteValue(value);
    return;
  }
  object.AddMember(wideName, makeValue());
}

}  // namespace

void TWBJSON::SetBooleanByName(std::string_view name, bool value) {
  SetOrAdd(*this, name, value, [&] { return CreateBoolean(value); });
}
void TWBJSON::SetIntegerByName(std::string_view name, int32_t value) {
  SetOrAdd(*this, name, value, [&] { return CreateNumber(value); });
}
void TWBJSON::SetCurrencyByName(std::string_view name, TCurrency value) {
  SetOrAdd(*this, name, value, [&] { return CreateNumber(static_cast<long double>(value.Scaled) / 10000); });
}
void TWBJSON::SetFloatByName(std::string_view name, double value) {
  SetOrAdd(*this, name, value, [&] { return CreateNumber(value); });
}
void TWBJSON::SetStringByName(std::string_view name, std::string_view value) {
  SetOrAdd(*this, name, std::string(value), [&] { return CreateString(platform::AnsiToWide(value)); });
}

void TWBJSON::RemoveChildAt(int32_t position) {
  if (position < 0 || position >= ChildCount()) return;
  TWBJSONcustomlist::RemoveChildAt(position);
  // The last member moved into the gap, and the freed member's name is gone.
  ForgetNameIndex();
}

void TWBJSON::ReplaceChildAt(int32_t position, std::unique_ptr<TWBCustomJSON> value) {
  if (position < 0 || position >= ChildCount() || value == nullptr) return;
  TWBJSONcustomlist::ReplaceChildAt(position, std::move(value));
  ForgetNameIndex();
}

const TWBBalTree& TWBJSON::NameIndex() const {
  if (indexed_ && !nameIndexBuilt_) {
    // In member order, so that a repeated name keeps its first position.
    for (int32_t i = 0; i < ChildCount(); ++i) {
      if (const TWBJSONmember* member = MemberAt(i)) nameIndex_.Insert(member->Name(), i);
    }
    nameIndexBuilt_ = true;
  }
  return nameIndex_;
}

void TWBJSON::ForgetNameIndex() {
  nameIndex_.Clear();
  nameIndexBuilt_ = false;
}

}  // namespace wb
