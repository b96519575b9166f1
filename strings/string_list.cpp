// TStringList: ordered 8-bit lines with optional object pointers.
#include "strings/string_list.h"

#include <stdexcept>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace wb {
namespace {
void CheckIndex(int index, int count) {
  if (index < 0 || index >= count)
    throw Exception(Ansi(u8"Listenindex überschreitet das Maximum (") + std::to_string(index) + ")");
}
}  // namespace

std::string TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)].Text;
}

const std::string& TStringList::operator[](int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)].Text;
}

void TStringList::Put(int index, const std::string& text) {
  CheckIndex(index, Count());
  items_[static_cast<size_t>(index)].Text = text;
  Changed();
}

int TStringList::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStringList::AddObject(const std::string& text, void* object) {
  items_.push_back(Item{text, object});
  Changed();
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& text) {
  if (index < 0 || index > Count()) CheckIndex(index, Count());
  items_.insert(items_.begin() + index, Item{text, nullptr});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TStringList::Assign(const TStringList& source) {
  if (&source == this) return;
  BeginUpdate();
  items_ = source.items_;
  EndUpdate();
}

void* TStringList::GetObject(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)].Object;
}

void TStringList::PutObject(int index, void* object) {
  CheckIndex(index, Count());
  items_[static_cast<size_t>(index)].Object = object;
}

int TStringList::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& line = items_[static_cast<size_t>(i)].Text;
    if (CaseSensitive ? line == text : platform::CompareLocaleText(line, text, true) == 0) return i;
  }
  return -1;
}

std::string TStringList::Names(int index) const {
  const std::string& line = (*this)[index];
  auto at = line.find('=');
  return at == std::string::npos ? std::string() : line.substr(0, at);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& line = items_[static_cast<size_t>(i)].Text;
    auto at = line.find('=');
    if (at == std::string::npos) continue;
    std::string_view lineName(line.data(), at);
    if (CaseSensitive ? lineName == name : platform::CompareLocaleText(lineName, name, true) == 0) return i;
  }
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  int index = IndexOfName(name);
  if (index < 0) return {};
  const std::string& line = items_[static_cast<size_t>(index)].Text;
  return line.substr(line.find('=') + 1);
}

std::string TStringList::Text() const {
  size_t length = 0;
  for (const Item& item : items_) length += item.Text.size() + 2;
  std::string text;
  text.reserve(length);
  for (const Item& item : items_) {
    text += item.Text;
    text += "\r\n";
  }
  return text;
}

void TStringList::SetText(std::string_view text) {
  BeginUpdate();
  items_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      items_.push_back(Item{std::string(text.substr(start)), nullptr});
      break;
    }
    items_.push_back(Item{std::string(text.substr(start, end - start)), nullptr});
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  EndUpdate();
}

void TStringList::BeginUpdate() { ++updateCount_; }

void TStringList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TStringList::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange();
}

}  // namespace wb
