// Content search: the file is decoded block by block into units (bytes for
// 8-bit text, code points for UTF-16 and UTF-8), folded when case does not
// matter, and fed to a matcher that keeps the tail of the previous block, so a
// phrase split across two blocks is found.
#include "client/find_content.h"

#include <algorithm>
#include <vector>

#include "client/find_character_classes.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace wb {
namespace {

enum class TextForm { Ansi, Utf16Le, Utf16Be, Utf8 };

constexpr uint32_t kReplacement = 0xFFFD;

// Finds the phrase in a stream of units delivered in pieces.
class StreamMatcher {
 public:
  StreamMatcher(std::vector<uint32_t> phrase, bool wholeWord, bool (*isWord)(uint32_t))
      : phrase_(std::move(phrase)), wholeWord_(wholeWord), isWord_(isWord) {}

  void Push(uint32_t unit) { window_.push_back(unit); }

  // Searches what has been pushed; atEnd says no more units follow.
  bool Search(bool atEnd) {
    const size_t m = phrase_.size();
    auto begin = window_.begin();
    auto from = begin;
    for (;;) {
      auto hit = std::search(from, window_.end(), phrase_.begin(), phrase_.end());
      if (hit == window_.end()) break;
      const size_t start = static_cast<size_t>(hit - begin);
      if (!wholeWord_) return true;
      if (start + m == window_.size() && !atEnd) break;  // the character after it is not known yet
      const bool boundaryBefore = start > 0 ? !isWord_(window_[start - 1]) : !hasPrevious_ || !isWord_(previous_);
      const bool boundaryAfter = start + m == window_.size() || !isWord_(window_[start + m]);
      if (boundaryBefore && boundaryAfter) return true;
      from = hit + 1;
    }
    // Keep the last m units: a match may start there and end in the next block.
    const size_t keep = std::min(window_.size(), m);
    const size_t drop = window_.size() - keep;
    if (drop > 0) {
      previous_ = window_[drop - 1];
      hasPrevious_ = true;
      window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(drop));
    }
    return false;
  }

 private:
  std::vector<uint32_t> phrase_;
  bool wholeWord_;
  bool (*isWord_)(uint32_t);
  std::vector<uint32_t> window_;
  uint32_t previous_ = 0;
  bool hasPrevious_ = false;
};

bool IsWordAnsiUnit(uint32_t unit) { return IsWordByte(static_cast<uint8_t>(unit)); }

// Incremental UTF-8 decoder; malformed input becomes U+FFFD.
class Utf8Decoder {
 public:
  template <typename Emit>
  void Feed(uint8_t byte, Emit emit) {
    if (need_ > 0) {
      if ((byte & 0xC0) == 0x80) {
        codePoint_ = (codePoint_ << 6) | (byte & 0x3Fu);
        if (--need_ == 0) emit(Valid() ? codePoint_ : kReplacement);
        return;
      }
      need_ = 0;
      emit(kReplacement);
    }
    if (byte < 0x80) {
      emit(byte);
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      Start(byte & 0x1Fu, 1);
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      Start(byte & 0x0Fu, 2);
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      Start(byte & 0x07u, 3);
    } else {
      emit(kReplacement);
    }
  }
  template <typename Emit>
  void Finish(Emit emit) {
    if (need_ > 0) emit(kReplacement);
    need_ = 0;
  }

 private:
  void Start(uint32_t bits, int need) {
    codePoint_ = bits;
    need_ = need;
    length_ = need + 1;
  }
  bool Valid() const {
    static constexpr uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    return codePoint_ >= kMinimum[length_] && codePoint_ <= 0x10FFFF && !(codePoint_ >= 0xD800 && codePoint_ <= 0xDFFF);
  }
  uint32_t codePoint_ = 0;
  int need_ = 0;
  int length_ = 0;
};

TextForm DetectForm(const uint8_t* data, int64_t size, int64_t& skip) {
  skip = 0;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return skip = 2, TextForm::Utf16Le;
  if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) return skip = 2, TextForm::Utf16Be;
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) return skip = 3, TextForm::Utf8;
  return TextForm::Ansi;
}

std::vector<uint32_t> PhraseUnits(std::string_view phrase, TextForm form, bool caseSensitive) {
  std::vector<uint32_t> units;
  if (form == TextForm::Ansi) {
    const auto& lower = SystemLowerCaseTable();
    for (char c : phrase) {
      const auto byte = static_cast<uint8_t>(c);
      units.push_back(caseSensitive ? byte : lower[byte]);
    }
    return units;
  }
  for (char16_t c : platform::AnsiToWide(phrase)) units.push_back(caseSensitive ? c : FoldCodePoint(c));
  return units;
}

}  // namespace

TContentResult SearchContent(const TContentReader& read, std::string_view phrase, TContentSearchOptions options,
                             int blockSize) {
  blockSize = std::max(blockSize, 3);
  std::vector<uint8_t> buffer(static_cast<size_t>(blockSize));
  int64_t got = read(buffer.data(), blockSize);
  if (got < 0) return TContentResult::Unreadable;
  if (phrase.empty()) return TContentResult::Found;

  const bool caseSensitive = options & csoCaseSensitive;
  int64_t skip = 0;
  const TextForm form = DetectForm(buffer.data(), got, skip);
  StreamMatcher matcher(PhraseUnits(phrase, form, caseSensitive), options & csoWholeWord,
                        form == TextForm::Ansi ? IsWordAnsiUnit : IsWordCodePoint);
  const auto& lower = SystemLowerCaseTable();
  auto pushWide = [&](uint32_t codePoint) { matcher.Push(caseSensitive ? codePoint : FoldCodePoint(codePoint)); };
  Utf8Decoder utf8;
  int pendingByte = -1;  // the first byte of a UTF-16 unit split between blocks

  for (;;) {
    for (int64_t i = skip; i < got; ++i) {
      const uint8_t byte = buffer[static_cast<size_t>(i)];
      switch (form) {
        case TextForm::Ansi: matcher.Push(caseSensitive ? byte : lower[byte]); break;
        case TextForm::Utf8: utf8.Feed(byte, pushWide); break;
        case TextForm::Utf16Le:
        case TextForm::Utf16Be:
          if (pendingByte < 0) {
            pendingByte = byte;
          } else {
            const uint32_t unit = form == TextForm::Utf16Le
                                      ? (static_cast<uint32_t>(byte) << 8) | static_cast<uint32_t>(pendingByte)
                                      : (static_cast<uint32_t>(pendingByte) << 8) | byte;
            pendingByte = -1;
            pushWide(unit);
          }
          break;
      }
    }
    skip = 0;
    const bool atEnd = got < blockSize;
    if (atEnd) utf8.Finish(pushWide);
    if (matcher.Search(atEnd)) return TContentResult::Found;
    if (atEnd) return TContentResult::NotFound;
    got = read(buffer.data(), blockSize);
    if (got < 0) return TContentResult::Unreadable;
    if (got == 0) {
      utf8.Finish(pushWide);
      return matcher.Search(true) ? TContentResult::Found : TContentResult::NotFound;
    }
  }
}

TContentResult SearchFileContent(const std::string& fileName, std::string_view phrase, TContentSearchOptions options) {
  auto file = platform::CreateFile(fileName, platform::kGenericRead,
                                   platform::kFileShareRead | platform::kFileShareWrite, platform::kOpenExisting, 0);
  if (!file) return TContentResult::Unreadable;
  return SearchContent([&](uint8_t* buffer, int64_t size) { return file->Read(buffer, size); }, phrase, options);
}

bool ContentMatches(const std::string& fileName, const TContentCriteria& criteria) {
  if (criteria.Phrase.empty()) return true;
  const TContentResult result = SearchFileContent(fileName, criteria.Phrase, criteria.Options);
  if (result == TContentResult::Unreadable) return false;
  const bool found = result == TContentResult::Found;
  return (criteria.Options & csoNegate) ? !found : found;
}

}  // namespace wb
