// UWBJSON, the value tree: every JSON text the tool keeps or exchanges (the
// entries file, the server's replies, the payloads it sends) lives in memory as
// these classes. A container owns its children, a member pair owns its value;
// freeing the root frees the whole tree. Names and strings are stored as UTF-16;
// everything the rest of the tool passes in or gets back is 8-bit text in the
// system code page. Lookups never fail: a missing member reads as its default.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/wbjson_baltree.h"
#include "json/wbjson_pool.h"
#include "json/wbjson_variant.h"

namespace wb {

// The kind code of a value; the names are the kind names ("js_Number" ...).
enum TWBJSONKind : int {
  js_Base = 0,
  js_Number = 1,
  js_String = 2,
  js_Boolean = 3,
  js_Null = 4,
  js_List = 5,
  js_Object = 6,
};

class TWBJSONnumber;
class TWBJSONstring;
class TWBJSONboolean;

// The concrete class of a node, kept in the node so that the writer and the
// lookups tell the classes apart without a virtual call or a type search.
enum class TNodeClass : uint8_t { Other, Number, String, Boolean, Null, List, Object, Member };

class TWBCustomJSON : public TPooledObject {
 public:
  TWBCustomJSON() = default;
  virtual ~TWBCustomJSON() = default;
  TWBCustomJSON(const TWBCustomJSON&) = delete;
  TWBCustomJSON& operator=(const TWBCustomJSON&) = delete;

  // Setting by name: here, the member found by Member(name) gets WriteValue;
  // objects override them to add a member when there is none.
  virtual void SetBooleanByName(std::string_view name, bool value);
  virtual void SetIntegerByName(std::string_view name, int32_t value);
  virtual void SetCurrencyByName(std::string_view name, TCurrency value);
  virtual void SetFloatByName(std::string_view name, double value);
  virtual void SetStringByName(std::string_view name, std::string_view value);
  virtual TWBVariant ReadValue() const;
  virtual void WriteValue(const TWBVariant& value);
  virtual TWBCustomJSON* ChildAt(int32_t position) const;
  virtual void ReplaceChildAt(int32_t position, std::unique_ptr<TWBCustomJSON> value);
  virtual int32_t ChildCount() const;
  virtual TWBCustomJSON* Member(const TWBVariant& key) const;
  virtual TWBJSONKind Kind() const { return ClassKind(); }
  virtual std::string KindName() const { return ClassKindName(); }

  static TWBJSONKind ClassKind() { return js_Base; }
  static const char* ClassKindName() { return "js_Base"; }

  // On an object the member pair at the position, on a list the element.
  TWBCustomJSON* ChildOrNil(int32_t position) const { return ChildAt(position); }
  // The value of the first member with exactly this name (a dot is part of the
  // name); nil on lists, scalars and for a missing name.
  TWBCustomJSON* MemberByName(std::string_view name) const;
  // Defaults for a missing member or one whose value reads as null (null, list,
  // object): empty text, 0, false.
  std::string StringByName(std::string_view name) const;
  int32_t IntegerByName(std::string_view name) const;
  bool BooleanByName(std::string_view name) const;

  // A copy through the compact text: numbers at 15 significant digits, strings
  // through the system code page. Nil gives nil.
  static std::unique_ptr<TWBCustomJSON> Clone(const TWBCustomJSON* value);
  static std::unique_ptr<TWBJSONnumber> CreateNumber(long double value);
  static std::unique_ptr<TWBJSONstring> CreateString(std::u16string_view text);
  static std::unique_ptr<TWBJSONboolean> CreateBoolean(bool value);

  TNodeClass NodeClass() const { return nodeClass_; }

 protected:
  explicit TWBCustomJSON(TNodeClass nodeClass) : nodeClass_(nodeClass) {}

 private:
  const TNodeClass nodeClass_ = TNodeClass::Other;
};

class TWBJSONnumber : public TWBCustomJSON {
 public:
  TWBJSONnumber() : TWBCustomJSON(TNodeClass::Number) {}
  explicit TWBJSONnumber(long double value) : TWBCustomJSON(TNodeClass::Number), value_(value) {}
  TWBVariant ReadValue() const override;
  void WriteValue(const TWBVariant& value) override;
  TWBJSONKind Kind() const override { return ClassKind(); }
  std::string KindName() const override { return ClassKindName(); }
  static TWBJSONKind ClassKind() { return js_Number; }
  static const char* ClassKindName() { return "js_Number"; }

  long double Value() const { return value_; }
  void SetValue(long double value) { value_ = value; }

 private:
  long double value_ = 0;
};

class TWBJSONstring : public TWBCustomJSON {
 public:
  TWBJSONstring() : TWBCustomJSON(TNodeClass::String) {}
  explicit TWBJSONstring(std::u16string_view text) : TWBCustomJSON(TNodeClass::String), value_(text) {}
  TWBVariant ReadValue() const override;
  void WriteValue(const TWBVariant& value) override;
  TWBJSONKind Kind() const override { return ClassKind(); }
  std::string KindName() const override { return ClassKindName(); }
  static TWBJSONKind ClassKind() { return js_String; }
  static const char* ClassKindName() { return "js_String"; }

  std::u16string_view Value() const { return value_; }
  void SetValue(std::u16string_view text) { value_.assign(text); }

 private:
  friend class TWBJSONReader;  // hands over decoded text without a copy
  TWideText value_;
};

class TWBJSONboolean : public TWBCustomJSON {
 public:
  TWBJSONboolean() : TWBCustomJSON(TNodeClass::Boolean) {}
  explicit TWBJSONboolean(bool value) : TWBCustomJSON(TNodeClass::Boolean), value_(value) {}
  TWBVariant ReadValue() const override;
  void WriteValue(const TWBVariant& value) override;
  TWBJSONKind Kind() const override { return ClassKind(); }
  std::string KindName() const override { return ClassKindName(); }
  static TWBJSONKind ClassKind() { return js_Boolean; }
  static const char* ClassKindName() { return "js_Boolean"; }

  bool Value() const { return value_; }
  void SetValue(bool value) { value_ = value; }

 private:
  bool value_ = false;
};

class TWBJSONnull : public TWBCustomJSON {
 public:
  TWBJSONnull() : TWBCustomJSON(TNodeClass::Null) {}
  TWBVariant ReadValue() const override { return {}; }
  TWBJSONKind Kind() const override { return ClassKind(); }
  std::string KindName() const override { return ClassKindName(); }
  static TWBJSONKind ClassKind() { return js_Null; }
  static const char* ClassKindName() { return "js_Null"; }
};

// A name with its value: the children of an object.
class TWBJSONmember final : public TWBCustomJSON {
 public:
  TWBJSONmember() : TWBCustomJSON(TNodeClass::Member) {}
  TWBJSONmember(std::u16string_view name, std::unique_ptr<TWBCustomJSON> value)
      : TWBCustomJSON(TNodeClass::Member), value_(std::move(value)), name_(name) {}

  std::u16string_view Name() const { return name_; }
  TWBCustomJSON* Value() const { return value_.get(); }
  void SetValue(std::unique_ptr<TWBCustomJSON> value) { value_ = std::move(value); }

 private:
  friend class TWBJSONReader;  // hands over the decoded name without a copy
  std::unique_ptr<TWBCustomJSON> value_;
  TWideText name_;
};

using TWBChildList =
    std::vector<std::unique_ptr<TWBCustomJSON>, json_pool::PoolAllocator<std::unique_ptr<TWBCustomJSON>>>;

// The shared base of lists and objects: an ordered list of owned children.
class TWBJSONcustomlist : public TWBCustomJSON {
 public:
  TWBJSONcustomlist() = default;
  ~TWBJSONcustomlist() override;

  TWBCustomJSON* ChildAt(int32_t position) const override;
  void ReplaceChildAt(int32_t position, std::unique_ptr<TWBCustomJSON> value) override;
  int32_t ChildCount() const override { return static_cast<int32_t>(children_.size()); }
  TWBCustomJSON* Member(const TWBVariant& key) const override;

  // name = the position in decimal (objects: the member's name).
  virtual TWBCustomJSON* NameAndChildAt(int32_t position, std::string& name) const;
  // Appends; nil is refused with -1.
  virtual int32_t AppendChild(std::unique_ptr<TWBCustomJSON> value);
  // Frees the child; the last child moves into its place.
  virtual void RemoveChildAt(int32_t position);
  virtual int32_t IndexOfChild(const TWBCustomJSON* value) const;
  // Typed reads: the default for a missing child, EInvalidCast for one of another class.
  virtual int32_t IntegerAt(int32_t position) const;
  virtual std::string StringAt(int32_t position) const;
  virtual std::u16string WideStringAt(int32_t position) const;
  virtual double FloatAt(int32_t position) const;
  virtual bool BooleanAt(int32_t position) const;

  // Appends and hands back the child for further filling; nil gives nil.
  template <typename T>
  T* AppendAndGet(std::unique_ptr<T> value) {
    T* raw = value.get();
    return AppendChild(std::move(value)) < 0 ? nullptr : raw;
  }
  const TWBChildList& Children() const { return children_; }

 protected:
  explicit TWBJSONcustomlist(TNodeClass nodeClass) : TWBCustomJSON(nodeClass) {}
  // The child that the typed reads look at (objects: the member's value).
  virtual TWBCustomJSON* TypedChildAt(int32_t position) const { return ChildAt(position); }
  TWBChildList children_;

  friend class TWBJSONReader;
  friend class TWBSONList;
};

class TWBSONList : public TWBJSONcustomlist {
 public:
  // Orders the first child against the second: negative, zero or positive.
  using TCompareItems = std::function<int(TWBCustomJSON* item1, TWBCustomJSON* item2)>;

  TWBSONList() : TWBJSONcustomlist(TNodeClass::List) {}
  TWBJSONKind Kind() const override { return ClassKind(); }
  std::string KindName() const override { return ClassKindName(); }
  static TWBJSONKind ClassKind() { return js_List; }
  static const char* ClassKindName() { return "js_List"; }

  int32_t Add(std::unique_ptr<TWBCustomJSON> value) { return AppendChild(std::move(value)); }

  // Sorts the objects of the list by one member's text, case ignored in the
  // user's locale (markup stripped first when stripMarkup), or by compare when
  // given. Raises "<fieldName> not found in Items" when the first child lacks the
  // member. A quicksort: children with equal keys may change their order.
  static void SortByField(TWBSONList* list, std::string_view fieldName, const TCompareItems& compare, bool stripMarkup);
};

class TWBJSON : public TWBJSONcustomlist {
 public:
  explicit TWBJSON(bool indexed = true) : TWBJSONcustomlist(TNodeClass::Object), indexed_(indexed) {}
  ~TWBJSON() override;

  void SetBooleanByName(std::string_view name, bool value) override;
  void SetIntegerByName(std::string_view name, int32_t value) override;
  void SetCurrencyByName(std::string_view name, TCurrency value) override;
  void SetFloatByName(std::string_view name, double value) override;
  void SetStringByName(std::string_view name, std::string_view value) override;
  void ReplaceChildAt(int32_t position, std::unique_ptr<TWBCustomJSON> value) override;
  TWBCustomJSON* Member(const TWBVariant& key) const override;
  TWBJSONKind Kind() const override { return ClassKind(); }
  std::string KindName() const override { return ClassKindName(); }
  static TWBJSONKind ClassKind() { return js_Object; }
  static const char* ClassKindName() { return "js_Object"; }
  TWBCustomJSON* NameAndChildAt(int32_t position, std::string& name) const override;
  void RemoveChildAt(int32_t position) override;

  // Appends a member; nil is refused with -1. A repeated name is appended too,
  // but lookups keep finding the first member of that name.
  int32_t AddMember(std::u16string_view name, std::unique_ptr<TWBCustomJSON> value);
  int32_t IndexOfName(std::u16string_view name) const;
  TWBCustomJSON* ValueByName(std::u16string_view name) const;
  std::u16string NameAt(int32_t position) const;
  TWBCustomJSON* ValueAt(int32_t position) const;

  // AddMember that hands back the value for further filling; nil gives nil.
  template <typename T>
  T* AddMemberAndGet(std::u16string_view name, std::unique_ptr<T> value) {
    T* raw = value.get();
    return AddMember(name, std::move(value)) < 0 ? nullptr : raw;
  }
  // ValueByName for an 8-bit name.
  TWBCustomJSON* ValueByAnsiName(std::string_view name) const;

  bool Indexed() const { return indexed_; }
  // The index of an indexed object (empty for others). It is built at the first
  // lookup by name, so that objects that are only read in order and written
  // (server replies, copies) never pay for it.
  const TWBBalTree& NameIndex() const;

 protected:
  TWBCustomJSON* TypedChildAt(int32_t position) const override { return ValueAt(position); }

 private:
  void ForgetNameIndex();
  const TWBJSONmember* MemberAt(int32_t position) const;

  mutable TWBBalTree nameIndex_;
  mutable bool nameIndexBuilt_ = false;
  bool indexed_;

  friend class TWBJSONReader;
};

// The value as the class asked for, or nil when it is of another class.
template <typename T>
T* JSONAs(TWBCustomJSON* value) {
  return dynamic_cast<T*>(value);
}
template <typename T>
const T* JSONAs(const TWBCustomJSON* value) {
  return dynamic_cast<const T*>(value);
}
// Takes ownership of the value if it is of the class asked for; frees it otherwise.
template <typename T>
std::unique_ptr<T> JSONCast(std::unique_ptr<TWBCustomJSON> value) {
  if (JSONAs<T>(value.get()) == nullptr) return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(value.release()));
}

}  // namespace wb
