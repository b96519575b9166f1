// LayoutLinkText: the markup is cut into styled pieces (words and the spaces
// between them), the pieces are put on lines, and each line's neighbouring
// pieces of one style become one run with its measured cell.
#include "htmldraw/link_text.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "htmldraw/html_tag_attributes.h"
#include "htmldraw/html_text_prep.h"

namespace wb {
namespace {

struct TPieceStyle {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  int Anchor = 0;
  bool operator==(const TPieceStyle&) const = default;
};

struct TPiece {
  std::string Text;
  TPieceStyle Style;
  bool Space = false;      // a stretch of spaces: where a line may wrap
  bool LineBreak = false;  // <BR>: no text
};

// "<a href=…>" → "a", "</B>" → "b".
std::string TagName(std::string_view tag) {
  std::size_t at = 1;
  if (at < tag.size() && tag[at] == '/') ++at;
  std::string name;
  while (at < tag.size() && std::isalnum(static_cast<unsigned char>(tag[at])) != 0) {
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(tag[at])));
    ++at;
  }
  return name;
}

bool IsClosing(std::string_view tag) { return tag.size() > 1 && tag[1] == '/'; }

class TPieceReader {
 public:
  std::vector<TPiece> Read(std::string_view markup, std::vector<TLinkTextAnchor>& anchors) {
    const std::string text = PrepareMarkupText(markup);
    std::string_view rest = text;
    while (!rest.empty()) {
      const std::size_t tagStart = rest.find('<');
      AddText(rest.substr(0, tagStart));
      if (tagStart == std::string_view::npos) break;
      rest.remove_prefix(tagStart);
      const std::size_t tagEnd = rest.find('>');
      if (tagEnd == std::string_view::npos) break;  // an unfinished tag ends the text
      ApplyTag(rest.substr(0, tagEnd + 1), anchors);
      rest.remove_prefix(tagEnd + 1);
    }
    return std::move(pieces_);
  }

 private:
  void AddText(std::string_view raw) {
    if (raw.empty()) return;
    // A non-breaking space must hold its words together on a wrapping line,
    // so it stays the code page's own non-breaking space here.
    std::string kept;
    for (std::size_t at = 0; at < raw.size();) {
      if (raw.compare(at, 6, "&nbsp;") == 0) {
        kept += '\xA0';
        at += 6;
      } else {
        kept += raw[at++];
      }
    }
    std::string text;
    ReplaceRunEntities(kept, text);
    std::size_t at = 0;
    while (at < text.size()) {
      const bool space = text[at] == ' ';
      std::size_t end = at;
      while (end < text.size() && (text[end] == ' ') == space) ++end;
      pieces_.push_back({text.substr(at, end - at), style_, space, false});
      at = end;
    }
  }

  void ApplyTag(std::string_view tag, std::vector<TLinkTextAnchor>& anchors) {
    const std::string name = TagName(tag);
    const bool on = !IsClosing(tag);
    if (name == "b" || name == "strong") {
      style_.Bold = on;
    } else if (name == "i" || name == "em") {
      style_.Italic = on;
    } else if (name == "u") {
      style_.Underline = on;
    } else if (name == "br") {
      pieces_.push_back({"", style_, false, true});
    } else if (name == "a") {
      if (on) {
        std::optional<std::string_view> target = TagAttribute(tag, "href");
        anchors.push_back({std::string(target ? *target : FirstQuotedValue(tag)), {}});
        style_.Anchor = static_cast<int>(anchors.size());
      } else {
        style_.Anchor = 0;
      }
    }
  }

  TPieceStyle style_;
  std::vector<TPiece> pieces_;
};

TSurfaceFont FontFor(const TSurfaceFont& base, const TPieceStyle& style) {
  TSurfaceFont font = base;
  font.Bold = base.Bold || style.Bold;
  font.Italic = base.Italic || style.Italic;
  font.Underline = base.Underline || style.Underline;
  return font;
}

// Puts lines of pieces into the layout, one after the other.
class TLineBuilder {
 public:
  TLineBuilder(TDrawSurface& surface, TLinkTextLayout& layout) : surface_(surface), layout_(layout) {
    base_ = surface.Font();
  }

  int Width(const TPiece& piece) {
    surface_.SetFont(FontFor(base_, piece.Style));
    return surface_.TextExtent(piece.Text).cx;
  }

  void Add(const TPiece& piece, int width) {
    line_.push_back(&piece);
    x_ += width;
  }
  bool Empty() const { return line_.empty(); }
  int X() const { return x_; }

  void EndLine() {
    // Neighbouring pieces of one style become one run.
    std::vector<TLinkTextRun> runs;
    for (const TPiece* piece : line_) {
      if (!runs.empty() && SameStyle(runs.back(), piece->Style)) {
        runs.back().Text += piece->Text;
      } else {
        TLinkTextRun run;
        run.Text = piece->Text;
        run.Bold = piece->Style.Bold;
        run.Italic = piece->Style.Italic;
        run.Underline = piece->Style.Underline;
        run.Anchor = piece->Style.Anchor;
        runs.push_back(std::move(run));
      }
    }
    surface_.SetFont(base_);
    int height = runs.empty() ? surface_.TextExtent("").cy : 0;
    int x = 0;
    for (TLinkTextRun& run : runs) {
      surface_.SetFont(FontFor(base_, {run.Bold, run.Italic, run.Underline, run.Anchor}));
      const TSize size = surface_.TextExtent(run.Text);
      run.X = x;
      run.Width = size.cx;
      run.Height = size.cy;
      x += size.cx;
      height = std::max(height, size.cy);
    }
    for (TLinkTextRun& run : runs) {
      run.Y = top_ + height - run.Height;  // the runs of a line stand on its bottom
      if (run.Anchor != 0) AddAnchorBox(run, height);
      layout_.Runs.push_back(std::move(run));
    }
    layout_.Width = std::max(layout_.Width, x);
    top_ += height;
    layout_.Height = top_;
    line_.clear();
    x_ = 0;
  }

  void Finish() { surface_.SetFont(base_); }

 private:
  static bool SameStyle(const TLinkTextRun& run, const TPieceStyle& style) {
    return run.Bold == style.Bold && run.Italic == style.Italic && run.Underline == style.Underline &&
           run.Anchor == style.Anchor;
  }

  // A link's box on this line grows over all of its runs on the line.
  void AddAnchorBox(const TLinkTextRun& run, int lineHeight) {
    TLinkTextAnchor& anchor = layout_.Anchors[static_cast<std::size_t>(run.Anchor - 1)];
    const TRect box{run.X, top_, run.X + run.Width, top_ + lineHeight};
    if (!anchor.Boxes.empty() && anchor.Boxes.back().Top == top_) {
      anchor.Boxes.back().Left = std::min(anchor.Boxes.back().Left, box.Left);
      anchor.Boxes.back().Right = std::max(anchor.Boxes.back().Right, box.Right);
    } else {
      anchor.Boxes.push_back(box);
    }
  }

  TDrawSurface& surface_;
  TLinkTextLayout& layout_;
  TSurfaceFont base_;
  std::vector<const TPiece*> line_;
  int x_ = 0;
  int top_ = 0;
};

}  // namespace

int TLinkTextLayout::AnchorAt(int x, int y) const {
  for (std::size_t i = 0; i < Anchors.size(); ++i) {
    for (const TRect& box : Anchors[i].Boxes) {
      if (x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom) return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

std::string TLinkTextLayout::TargetOf(int anchor) const {
  if (anchor < 1 || anchor > static_cast<int>(Anchors.size())) return {};
  return Anchors[static_cast<std::size_t>(anchor - 1)].Target;
}

int LinkTextAnchorCount(std::string_view markup) {
  std::vector<TLinkTextAnchor> anchors;
  TPieceReader().Read(markup, anchors);
  return static_cast<int>(anchors.size());
}

std::string LinkTextPlain(std::string_view markup) {
  std::vector<TLinkTextAnchor> anchors;
  std::string plain;
  for (const TPiece& piece : TPieceReader().Read(markup, anchors)) plain += piece.LineBreak ? "\n" : piece.Text;
  return plain;
}

TLinkTextLayout LayoutLinkText(TDrawSurface& surface, std::string_view markup, int width, bool wrap) {
  TLinkTextLayout layout;
  const std::vector<TPiece> pieces = TPieceReader().Read(markup, layout.Anchors);
  TLineBuilder lines(surface, layout);

  // Spaces wait until the word after them shows whether the line goes on.
  std::vector<std::pair<const TPiece*, int>> spaces;
  bool wrapped = false;  // the current line began at a wrap: its leading spaces are gone
  std::size_t i = 0;
  while (i < pieces.size()) {
    const TPiece& piece = pieces[i];
    if (piece.LineBreak) {
      for (const auto& [space, spaceWidth] : spaces) lines.Add(*space, spaceWidth);
      spaces.clear();
      lines.EndLine();
      wrapped = false;
      ++i;
      continue;
    }
    if (piece.Space) {
      if (!(wrapped && lines.Empty())) spaces.emplace_back(&piece, lines.Width(piece));
      ++i;
      continue;
    }
    // A word: the pieces up to the next space or line break, in any styles.
    std::size_t end = i;
    int wordWidth = 0;
    std::vector<int> widths;
    while (end < pieces.size() && !pieces[end].Space && !pieces[end].LineBreak) {
      widths.push_back(lines.Width(pieces[end]));
      wordWidth += widths.back();
      ++end;
    }
    int spaceWidth = 0;
    for (const auto& space : spaces) spaceWidth += space.second;
    if (wrap && !lines.Empty() && lines.X() + spaceWidth + wordWidth > width) {
      spaces.clear();
      lines.EndLine();
      wrapped = true;
    }
    for (const auto& [space, w] : spaces) lines.Add(*space, w);
    spaces.clear();
    for (std::size_t k = i; k < end; ++k) lines.Add(pieces[k], widths[k - i]);
    i = end;
  }
  // Spaces at the very end still belong to the text (and to a link they are in).
  for (const auto& [space, spaceWidth] : spaces) lines.Add(*space, spaceWidth);
  if (!lines.Empty() || layout.Height == 0) lines.EndLine();
  lines.Finish();
  return layout;
}

void DrawLinkText(TDrawSurface& surface, const TLinkTextLayout& layout, int left, int top,
                  const TLinkTextColors& colors) {
  const TSurfaceFont base = surface.Font();
  const TBackgroundMode mode = surface.BackgroundMode();
  surface.SetBackgroundMode(TBackgroundMode::Transparent);
  for (const TLinkTextRun& run : layout.Runs) {
    TSurfaceFont font = FontFor(base, {run.Bold, run.Italic, run.Underline || run.Anchor != 0, 0});
    font.Color = run.Anchor != 0 ? colors.Link : colors.Text;
    surface.SetFont(font);
    surface.DrawTextAt(left + run.X, top + run.Y, run.Text, nullptr);
  }
  surface.SetFont(base);
  surface.SetBackgroundMode(mode);
}

}  // namespace wb
