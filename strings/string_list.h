// TStringList: the ordered list of 8-bit lines, each with an optional object
// pointer, that the tool's list-shaped data goes through (file lines, list box
// rows, name=value lines). The object pointers are not owned by the list.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

class TStringList {
 public:
  struct Item {
    std::string Text;
    void* Object = nullptr;
  };

  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;
  TStringList(TStringList&&) = default;
  TStringList& operator=(TStringList&&) = default;
  virtual ~TStringList() = default;

  virtual int Count() const { return static_cast<int>(items_.size()); }
  virtual std::string Get(int index) const;
  virtual void Put(int index, const std::string& text);
  virtual int Add(const std::string& text);
  virtual void Insert(int index, const std::string& text);
  virtual void Delete(int index);
  virtual void Exchange(int index1, int index2);
  virtual void Clear();
  // Copies lines and objects.
  virtual void Assign(const TStringList& source);

  int AddObject(const std::string& text, void* object);
  void* GetObject(int index) const;
  void PutObject(int index, void* object);
  const std::string& operator[](int index) const;

  // Index of the first line equal to text (case-insensitive unless CaseSensitive), or -1.
  int IndexOf(std::string_view text) const;
  // The text before the first '=' of a line (empty when it has none).
  std::string Names(int index) const;
  // The value of the first line "name=..." (name compared as IndexOf compares), or "".
  std::string Values(std::string_view name) const;
  int IndexOfName(std::string_view name) const;

  // All lines, each followed by CR LF.
  std::string Text() const;
  // Replaces the content with the lines of text, split at CR LF, CR or LF.
  void SetText(std::string_view text);

  // Change notification, nested (the list is "updating" while the count is above 0).
  void BeginUpdate();
  void EndUpdate();
  std::function<void()> OnChange;

  bool Sorted = false;
  bool CaseSensitive = false;

  const std::vector<Item>& Items() const { return items_; }

 protected:
  void Changed();
  std::vector<Item> items_;
  int updateCount_ = 0;
};

}  // namespace wb
