// GdiSurface: fonts from a cache keyed by everything GDI needs to make them;
// text through TextOutA / GetTextExtentPoint32A in the system code page.
#include "gui/win32/gdi_surface.h"

#include <map>
#include <tuple>

#include "gui/win32/controls.h"
#include "gui/win32/win32_text.h"

namespace wb::win32 {
namespace {

using FontKey = std::tuple<std::string, int, bool, bool, bool, bool, int, int>;

std::map<FontKey, GdiFont>& FontCache() {
  static std::map<FontKey, GdiFont> cache;
  return cache;
}

UINT IconListFlags(bool large) { return SHGFI_SYSICONINDEX | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON); }

HIMAGELIST SystemImageList(bool large) {
  SHFILEINFOA info{};
  return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA("C:\\", 0, &info, sizeof(info), IconListFlags(large)));
}

}  // namespace

const GdiFont& RealizeFont(const TSurfaceFont& font, int dpi) {
  const FontKey key{font.Name, font.Size, font.Bold, font.Italic, font.Underline, font.StrikeOut, font.Escapement, dpi};
  auto found = FontCache().find(key);
  if (found != FontCache().end()) return found->second;
  LOGFONTW description{};
  description.lfHeight = -::MulDiv(font.Size, dpi, 72);
  description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = font.Italic;
  description.lfUnderline = font.Underline;
  description.lfStrikeOut = font.StrikeOut;
  description.lfEscapement = font.Escapement;
  description.lfOrientation = font.Escapement;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  const std::wstring name = Wide(font.Name);
  lstrcpynW(description.lfFaceName, name.c_str(), LF_FACESIZE);
  GdiFont made;
  made.handle = ::CreateFontIndirectW(&description);
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, made.handle);
  ::GetTextMetricsA(screen, &made.metrics);
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  return FontCache().emplace(key, made).first->second;
}

TSurfaceFont UiSurfaceFont(int points, bool bold, TColor color) {
  TSurfaceFont font;
  font.Name = "Tahoma";
  font.Size = points;
  font.Bold = bold;
  font.Color = color;
  return font;
}

HFONT UiFont(int points, bool bold) { return RealizeFont(UiSurfaceFont(points, bold, clBlack), ScreenDpi()).handle; }

GdiSurface::GdiSurface(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {
  dpi_ = ::GetDeviceCaps(dc, LOGPIXELSY);
  if (dpi_ <= 0) dpi_ = 96;
}

GdiSurface::~GdiSurface() {
  ::RestoreDC(dc_, saved_);
  if (pen_ != nullptr) ::DeleteObject(pen_);
}

const GdiFont& GdiSurface::Current() {
  if (current_ == nullptr || currentGeneration_ != FontGeneration()) {
    const GdiFont& font = RealizeFont(Font(), dpi_);
    if (&font != current_) ::SelectObject(dc_, font.handle);
    current_ = &font;
    currentGeneration_ = FontGeneration();
  }
  return *current_;
}

TSize GdiSurface::TextExtent(std::string_view text) {
  const GdiFont& font = Current();
  SIZE size{0, 0};
  if (!text.empty()) ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return {size.cx, font.metrics.tmHeight};
}

int GdiSurface::AverageCharWidth() { return Current().metrics.tmAveCharWidth; }

int GdiSurface::FitCharCount(std::string_view text, int maxWidth) {
  Current();
  if (text.empty()) return 0;
  INT fit = 0;
  SIZE size{};
  ::GetTextExtentExPointA(dc_, text.data(), static_cast<int>(text.size()), maxWidth < 0 ? 0 : maxWidth, &fit, nullptr,
                          &size);
  return fit;
}

void GdiSurface::DrawTextAt(int x, int y, std::string_view text, const TRect* clip) {
  if (text.empty()) return;
  Current();
  ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  ::SetTextColor(dc_, ColorToRGB(Font().Color));
  const bool opaque = BackgroundMode() == TBackgroundMode::Opaque && BackgroundColor() != clNone;
  ::SetBkMode(dc_, opaque ? OPAQUE : TRANSPARENT);
  if (opaque) ::SetBkColor(dc_, ColorToRGB(BackgroundColor()));
  RECT box{};
  if (clip != nullptr) box = RECT{clip->Left, clip->Top, clip->Right, clip->Bottom};
  ::ExtTextOutA(dc_, x, y, clip != nullptr ? ETO_CLIPPED : 0, clip != nullptr ? &box : nullptr, text.data(),
                static_cast<UINT>(text.size()), nullptr);
}

void GdiSurface::FillRect(const TRect& rect, TColor color) {
  if (color == clNone) return;
  const RECT box{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::SetDCBrushColor(dc_, ColorToRGB(color));
  ::FillRect(dc_, &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void GdiSurface::DrawLine(int x1, int y1, int x2, int y2) {
  HPEN pen = ::CreatePen(PS_SOLID, PenWidth(), ColorToRGB(PenColor()));
  ::SelectObject(dc_, pen);
  if (pen_ != nullptr) ::DeleteObject(pen_);
  pen_ = pen;
  ::MoveToEx(dc_, x1, y1, nullptr);
  ::LineTo(dc_, x2, y2);  // the end point is left out, as the renderer expects
}

TColor GdiSurface::SysColor(int index) { return ::GetSysColor(index); }

TSize GdiSurface::SystemIconListSize(bool large) {
  int cx = large ? 32 : 16;
  int cy = cx;
  if (HIMAGELIST list = SystemImageList(large)) ::ImageList_GetIconSize(list, &cx, &cy);
  return {cx, cy};
}

// An existing file or folder shows its own icon; any other path the icon of its extension.
int GdiSurface::SystemIconIndex(const std::string& path) {
  SHFILEINFOA info{};
  UINT flags = IconListFlags(false);
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    flags |= SHGFI_USEFILEATTRIBUTES;
    attributes = FILE_ATTRIBUTE_NORMAL;
  }
  if (::SHGetFileInfoA(path.c_str(), attributes, &info, sizeof(info), flags) == 0) return -1;
  return info.iIcon;
}

void GdiSurface::DrawSystemIconAt(int index, int x, int y, bool large, TSize size) {
  HIMAGELIST list = SystemImageList(large);
  if (list == nullptr || index < 0) return;
  HICON icon = ::ImageList_GetIcon(list, index, ILD_TRANSPARENT);
  if (icon == nullptr) return;
  ::DrawIconEx(dc_, x, y, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
  ::DestroyIcon(icon);
}

int GdiSurface::PixelsPerInchX() { return ::GetDeviceCaps(dc_, LOGPIXELSX); }
int GdiSurface::PixelsPerInchY() { return dpi_; }

}  // namespace wb::win32
