// The settings file's line store: classification on load, parsing on first
// touch, the hashed section table and the per-section key index.
#include "client/ini_items.h"

#include <cstring>
#include <new>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/ini_file_stream.h"
#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb {
namespace {

inline bool IsBlank(char c) { return static_cast<uint8_t>(c) <= 32; }

TIniLineKind Classify(std::string_view line) {
  if (line.empty()) return TIniLineKind::BlankLine;
  if (line.front() == ';') return TIniLineKind::CommentLine;
  if (line.front() == '[' && line.back() == ']' && line.size() >= 2) return TIniLineKind::SectionLine;
  return TIniLineKind::RawLine;
}

std::string_view SectionNameOf(std::string_view header) { return header.substr(1, header.size() - 2); }

// Sections with this many other lines on average get key indexes at load.
constexpr int32_t kKeyIndexThreshold = 250;

}  // namespace

std::string_view IniTrimLeft(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return text.substr(start);
}

std::string_view IniTrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string_view IniTrim(std::string_view text) { return IniTrimRight(IniTrimLeft(text)); }

// ---- TSectionItems --------------------------------------------------------

TSectionItems::~TSectionItems() { Clear(); }

TSectionItem* TSectionItems::Find(std::string_view name) const {
  for (TSectionItem* item = buckets_[IniBucketOf(matching_.Hash(name))].get(); item; item = item->Next.get())
    if (matching_.Equal(item->Name, name)) return item;
  return nullptr;
}

TSectionItem* TSectionItems::Add(std::string_view name, int32_t firstLine) {
  auto item = std::make_unique<TSectionItem>();
  item->FirstLine = firstLine;
  item->Name.assign(name);
  auto& head = buckets_[IniBucketOf(matching_.Hash(name))];
  item->Next = std::move(head);
  head = std::move(item);
  ++count_;
  return head.get();
}

void TSectionItems::Remove(const TSectionItem* target) {
  for (auto& head : buckets_) {
    for (std::unique_ptr<TSectionItem>* link = &head; *link; link = &(*link)->Next) {
      if (link->get() == target) {
        std::unique_ptr<TSectionItem> removed = std::move(*link);
        *link = std::move(removed->Next);
        --count_;
        return;
      }
    }
  }
}

void TSectionItems::Clear() {
  // Unlink iteratively: a long bucket must not recurse through its records.
  for (auto& head : buckets_) {
    while (head) head = std::move(head->Next);
  }
  count_ = 0;
}

void TSectionItems::ShiftAfter(int32_t line, int32_t delta) {
  ForEach([&](TSectionItem& item) {
    if (item.FirstLine > line) {
      item.FirstLine += delta;
      item.KeyIndex.reset();
    }
  });
}

void TSectionItems::DropKeyIndexes() {
  ForEach([](TSectionItem& item) { item.KeyIndex.reset(); });
}

// ---- TIniItems: content ---------------------------------------------------

TIniItems::TIniItems() : matching_(IniNameMatching(false, true)) { sections_.SetMatching(matching_); }

TIniItems::~TIniItems() = default;

void TIniItems::Clear() {
  lastSection_ = nullptr;
  sections_.Clear();
  lines_.clear();
  lines_.shrink_to_fit();
  loaded_.clear();
  loaded_.shrink_to_fit();
  statistics_ = TStatistics();
}

void TIniItems::SetText(std::string_view text) { AdoptText(std::string(text)); }

void TIniItems::AdoptText(std::string&& text) {
  Clear();
  auto nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  loaded_ = std::move(text);
  const char* data = loaded_.data();
  const size_t length = loaded_.size();
  lines_.reserve(length / 16);

  // The next CR and LF are remembered, so a file with only one kind of line
  // end is still scanned once.
  size_t nextLf = 0, nextCr = 0;
  bool lfKnown = false, crKnown = false;
  size_t position = 0;
  while (position < length) {
    if (!lfKnown || nextLf < position) {
      const void* found = std::memchr(data + position, '\n', length - position);
      nextLf = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : length;
      lfKnown = true;
    }
    if (!crKnown || nextCr < position) {
      const void* found = std::memchr(data + position, '\r', length - position);
      nextCr = found ? static_cast<size_t>(static_cast<const char*>(found) - data) : length;
      crKnown = true;
    }
    const size_t end = nextLf < nextCr ? nextLf : nextCr;
    AppendClassified(std::string_view(data + position, end - position));
    position = end;
    if (position < length && data[position] == '\r') ++position;
    if (position < length && data[position] == '\n') ++position;
  }
  lines_.shrink_to_fit();
  keyIndexMode_ = sections_.Count() > 0 && statistics_.OtherLines / sections_.Count() >= kKeyIndexThreshold;
}

std::string TIniItems::GetText() const {
  size_t total = 0;
  for (const TIniLine& line : lines_) {
    total += line.Text.size() + 2;
    if (line.Kind == TIniLineKind::KeyLine) total += 1 + line.Value.size();
  }
  std::string text;
  text.resize(total);
  char* out = text.data();
  auto put = [&out](std::string_view part) {
    if (!part.empty()) std::memcpy(out, part.data(), part.size());
    out += part.size();
  };
  for (const TIniLine& line : lines_) {
    put(line.Text);
    if (line.Kind == TIniLineKind::KeyLine) {
      *out++ = '=';
      put(line.Value);
    }
    *out++ = '\r';
    *out++ = '\n';
  }
  return text;
}

void TIniItems::LoadFromFile(const std::string& fileName) {
  TFileStreamEx stream(fileName, fmOpenRead | fmShareDenyWrite);
  // A read that fails part-way raises: the lines not read would be missing
  // from the next write.
  AdoptText(stream.ReadRestWhole(FormatMessageText("Datei %s kann nicht gelesen werden", fileName)));
}

void TIniItems::SaveToFile(const std::string& fileName) const {
  const std::string text = GetText();
  const std::string folder = ExtractFilePath(fileName);
  if (!folder.empty()) ForceDirs(folder);
  // The old file is replaced only by a complete new one, so a crash or a full
  // disk in the middle of the write leaves the user's settings as they were.
  bool saved = RetryForIniWindow([&] {
    try {
      SaveTextAtomically(text, fileName);
      return true;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      return false;
    }
  });
  if (!saved) throw EFCreateError(FormatMessageText("Datei %s kann nicht erstellt werden", fileName));
}

const TIniLine& TIniItems::Line(int32_t index) const {
  if (index < 0 || index >= Count())
    throw Exception(
        FormatMessageText(Ansi(u8"Der Index der Liste überschreitet das Maximum (%s)"), std::to_string(index)));
  return lines_[static_cast<size_t>(index)];
}

std::string TIniItems::LineText(int32_t index) const {
  const TIniLine& line = Line(index);
  std::string text(line.Text);
  if (line.Kind == TIniLineKind::KeyLine) {
    text += '=';
    text += line.Value;
  }
  return text;
}

// ---- TIniItems: lines -----------------------------------------------------

void TIniItems::GrowIfFull() {
  const size_t capacity = lines_.capacity();
  if (lines_.size() < capacity) return;
  const size_t grown = capacity > 1024 ? capacity + capacity / 4 : capacity > 256 ? capacity + 512 : capacity + 128;
  lines_.reserve(grown);
}

void TIniItems::Count(TIniLineKind kind, int32_t delta) {
  switch (kind) {
    case TIniLineKind::BlankLine: statistics_.BlankLines += delta; break;
    case TIniLineKind::CommentLine: statistics_.CommentLines += delta; break;
    case TIniLineKind::SectionLine: statistics_.SectionLines += delta; break;
    default: statistics_.OtherLines += delta; break;
  }
}

void TIniItems::AppendClassified(std::string_view text) {
  GrowIfFull();
  TIniLine& line = lines_.emplace_back();
  line.Kind = Classify(text);
  line.Text = text;
  Count(line.Kind, 1);
  if (line.Kind == TIniLineKind::SectionLine) sections_.Add(SectionNameOf(text), Count());
}

void TIniItems::AppendOwned(TIniLineKind kind, std::string_view text) {
  GrowIfFull();
  TIniLine line;
  line.Kind = kind;
  if (!text.empty()) {
    line.Owned = std::make_unique<char[]>(text.size());
    std::memcpy(line.Owned.get(), text.data(), text.size());
    line.Text = std::string_view(line.Owned.get(), text.size());
  }
  Count(kind, 1);
  lines_.push_back(std::move(line));
  if (kind == TIniLineKind::SectionLine) lastSection_ = sections_.Add(SectionNameOf(text), Count());
}

void TIniItems::InsertLine(int32_t index, TIniLine line) {
  GrowIfFull();
  Count(line.Kind, 1);
  lines_.insert(lines_.begin() + index, std::move(line));
  sections_.ShiftAfter(index, 1);
}

void TIniItems::EraseLines(int32_t first, int32_t count) {
  for (int32_t i = first; i < first + count; ++i) Count(lines_[static_cast<size_t>(i)].Kind, -1);
  lines_.erase(lines_.begin() + first, lines_.begin() + first + count);
  sections_.ShiftAfter(first, -count);
}

void TIniItems::Parse(int32_t index) {
  TIniLine& line = lines_[static_cast<size_t>(index)];
  if (line.Kind != TIniLineKind::RawLine) return;
  std::string_view text = IniTrimLeft(line.Text);
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    line.Kind = TIniLineKind::TextLine;
    line.Text = text;
    return;
  }
  line.Kind = TIniLineKind::KeyLine;
  line.Text = IniTrimRight(text.substr(0, equals));
  line.Value = IniTrim(text.substr(equals + 1));
  line.Hash = matching_.Hash(line.Text);
}

// ---- TIniItems: case mode and key index -----------------------------------

void TIniItems::SetNameMatching(TIniNameMatching matching) {
  matching_ = matching;
  lastSection_ = nullptr;
  sections_.Clear();
  sections_.SetMatching(matching);
  // Re-registered in file order, so of two equal headers the later one wins again.
  for (int32_t i = 0; i < Count(); ++i) {
    TIniLine& line = lines_[static_cast<size_t>(i)];
    if (line.Kind == TIniLineKind::SectionLine) sections_.Add(SectionNameOf(line.Text), i + 1);
    else if (line.Kind == TIniLineKind::KeyLine) line.Hash = matching_.Hash(line.Text);
  }
}

void TIniItems::SetKeyIndexMode(bool on) {
  if (on == keyIndexMode_) return;
  keyIndexMode_ = on;
  sections_.DropKeyIndexes();
}

void TIniItems::BuildKeyIndex(TSectionItem& section) {
  auto index = std::make_unique<TKeyIndex>();
  for (int32_t i = section.FirstLine; i < Count(); ++i) {
    TIniLine& line = lines_[static_cast<size_t>(i)];
    if (line.Kind == TIniLineKind::SectionLine) break;
    if (line.Kind == TIniLineKind::RawLine) Parse(i);
    if (line.Kind == TIniLineKind::KeyLine) (*index)[IniBucketOf(line.Hash)].push_back(i);
  }
  section.KeyIndex = std::move(index);
}

// ---- TIniItems: sections and keys -----------------------------------------

TSectionItem* TIniItems::FindSection(std::string_view name, bool create) {
  if (lastSection_ && matching_.Equal(lastSection_->Name, name)) return lastSection_;
  if (TSectionItem* found = sections_.Find(name)) return lastSection_ = found;
  if (!create) return nullptr;
  if (!lines_.empty() && lines_.back().Kind != TIniLineKind::BlankLine) AppendOwned(TIniLineKind::BlankLine, {});
  std::string header;
  header.reserve(name.size() + 2);
  header += '[';
  header += name;
  header += ']';
  AppendOwned(TIniLineKind::SectionLine, header);
  return lastSection_;
}

int32_t TIniItems::SectionEnd(const TSectionItem& section) const {
  int32_t i = section.FirstLine;
  while (i < Count() && lines_[static_cast<size_t>(i)].Kind != TIniLineKind::SectionLine) ++i;
  return i;
}

int32_t TIniItems::FindKey(TSectionItem& section, std::string_view name) {
  const uint32_t hash = matching_.Hash(name);
  return keyIndexMode_ ? FindKeyIndexed(section, name, hash) : FindKeyLinear(section, name, hash);
}

int32_t TIniItems::FindKeyLinear(const TSectionItem& section, std::string_view name, uint32_t hash) {
  const int32_t count = Count();
  for (int32_t i = section.FirstLine; i < count; ++i) {
    TIniLine& line = lines_[static_cast<size_t>(i)];
    if (line.Kind == TIniLineKind::SectionLine) break;
    if (line.Kind == TIniLineKind::RawLine) Parse(i);
    if (line.Kind == TIniLineKind::KeyLine && line.Hash == hash && matching_.Equal(line.Text, name)) return i;
  }
  return -1;
}

int32_t TIniItems::FindKeyIndexed(TSectionItem& section, std::string_view name, uint32_t hash) {
  if (!section.KeyIndex) BuildKeyIndex(section);
  const std::vector<int32_t>& bucket = (*section.KeyIndex)[IniBucketOf(hash)];
  for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
    const TIniLine& line = lines_[static_cast<size_t>(*it)];
    if (line.Hash == hash && matching_.Equal(line.Text, name)) return *it;
  }
  return -1;
}

int32_t TIniItems::InsertKey(TSectionItem& section, std::string_view name) {
  // After the last key or text line: trailing comments and blank lines stay
  // behind the new key, as they usually introduce the next section.
  int32_t position = section.FirstLine;
  const int32_t end = SectionEnd(section);
  for (int32_t i = section.FirstLine; i < end; ++i) {
    TIniLineKind kind = lines_[static_cast<size_t>(i)].Kind;
    if (kind == TIniLineKind::KeyLine || kind == TIniLineKind::TextLine || kind == TIniLineKind::RawLine)
      position = i + 1;
  }
  name = IniTrim(name);
  TIniLine line;
  line.Kind = TIniLineKind::KeyLine;
  line.Hash = matching_.Hash(name);
  if (!name.empty()) {
    line.Owned = std::make_unique<char[]>(name.size());
    std::memcpy(line.Owned.get(), name.data(), name.size());
    line.Text = std::string_view(line.Owned.get(), name.size());
  }
  const uint32_t hash = line.Hash;
  InsertLine(position, std::move(line));
  if (keyIndexMode_ && section.KeyIndex) (*section.KeyIndex)[IniBucketOf(hash)].push_back(position);
  return position;
}

void TIniItems::SetValue(int32_t index, std::string_view value) {
  TIniLine& line = lines_[static_cast<size_t>(index)];
  const size_t nameSize = line.Text.size();
  // Built before the old storage goes: value may point into it.
  auto storage = std::make_unique<char[]>(nameSize + value.size() + 1);
  if (nameSize) std::memcpy(storage.get(), line.Text.data(), nameSize);
  if (!value.empty()) std::memcpy(storage.get() + nameSize, value.data(), value.size());
  line.Text = std::string_view(storage.get(), nameSize);
  line.Value = std::string_view(storage.get() + nameSize, value.size());
  line.Owned = std::move(storage);
}

void TIniItems::DeleteKey(TSectionItem& section, int32_t index) {
  EraseLines(index, 1);
  section.KeyIndex.reset();
}

int32_t TIniItems::DeleteSection(TSectionItem& section) {
  const int32_t header = section.FirstLine - 1;
  const int32_t end = SectionEnd(section);
  // Up to the last key or text line and the blank lines after it; a comment
  // block at the end of a section stays, it belongs to what follows.
  int32_t last = header;
  for (int32_t i = section.FirstLine; i < end; ++i) {
    TIniLineKind kind = lines_[static_cast<size_t>(i)].Kind;
    if (kind == TIniLineKind::KeyLine || kind == TIniLineKind::TextLine || kind == TIniLineKind::RawLine) last = i;
  }
  while (last + 1 < end && lines_[static_cast<size_t>(last) + 1].Kind == TIniLineKind::BlankLine) ++last;
  if (lastSection_ == &section) lastSection_ = nullptr;
  sections_.Remove(&section);
  const int32_t count = last - header + 1;
  EraseLines(header, count);
  return count;
}

}  // namespace wb
