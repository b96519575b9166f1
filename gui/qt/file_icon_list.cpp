// File-type icons from the icon theme, with a drawn page or folder as stand-in.
#include "gui/qt/file_icon_list.h"

#include <QFileInfo>
#include <QMimeType>
#include <QPainter>
#include <QPainterPath>
#include <QRect>

namespace wb::gui {
namespace {

constexpr int kSuffixCacheLimit = 512;

// A white page with a folded corner, or a yellow folder, drawn into target.
void DrawStandIn(QPainter& painter, const QRect& target, bool folder) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRectF r = QRectF(target).adjusted(target.width() * 0.15, target.height() * 0.05, -target.width() * 0.15 - 1,
                                           -target.height() * 0.05 - 1);
  if (folder) {
    painter.setPen(QColor(0x8A, 0x6D, 0x1E));
    painter.setBrush(QColor(0xF2, 0xC9, 0x4C));
    painter.drawRect(QRectF(target).adjusted(1, target.height() * 0.25, -1, -target.height() * 0.1));
  } else {
    const qreal fold = r.width() * 0.35;
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    painter.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
  }
  painter.restore();
}

}  // namespace

FileIconList& FileIconList::Instance() {
  static FileIconList list;
  return list;
}

FileIconList::FileIconList() {
  IndexForIconName(QStringLiteral("text-x-generic"), QStringLiteral("text-x-generic"), false);
  IndexForIconName(QStringLiteral("folder"), QStringLiteral("folder"), true);
}

int FileIconList::IndexForIconName(const QString& iconName, const QString& genericName, bool folder) {
  if (auto found = byIconName_.constFind(iconName); found != byIconName_.constEnd()) return found.value();
  const int index = static_cast<int>(icons_.size());
  Entry entry;
  entry.iconName = iconName;
  entry.genericName = genericName;
  entry.folder = folder;
  icons_.push_back(std::move(entry));
  byIconName_.insert(iconName, index);
  return index;
}

int FileIconList::IndexForPath(const QString& path) {
  const QFileInfo info(path);
  if (info.exists()) {
    if (info.isDir()) return kFolderIcon;
    const QMimeType type = mimeDatabase_.mimeTypeForFile(info);
    return IndexForIconName(type.iconName(), type.genericIconName(), false);
  }
  // Not there: the icon the system shows for the path's extension.
  const QString suffix = info.suffix().toLower();
  if (auto found = bySuffix_.constFind(suffix); found != bySuffix_.constEnd()) return found.value();
  const QMimeType type = mimeDatabase_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
  const int index = IndexForIconName(type.iconName(), type.genericIconName(), false);
  if (bySuffix_.size() < kSuffixCacheLimit) bySuffix_.insert(suffix, index);
  return index;
}

void FileIconList::Resolve(Entry& entry) {
  if (entry.resolved) return;
  entry.resolved = true;
  entry.icon = QIcon::fromTheme(entry.iconName);
  if (entry.icon.isNull()) entry.icon = QIcon::fromTheme(entry.genericName);
  if (entry.icon.isNull() && !entry.folder) entry.icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
}

bool FileIconList::HasThemeIcon(int index) {
  if (index < 0 || index >= Count()) return false;
  Entry& entry = icons_[static_cast<std::size_t>(index)];
  Resolve(entry);
  return !entry.icon.isNull();
}

void FileIconList::Draw(QPainter& painter, int index, const QRect& target) {
  if (index < 0 || index >= Count() || target.isEmpty()) return;
  Entry& entry = icons_[static_cast<std::size_t>(index)];
  Resolve(entry);
  if (entry.icon.isNull()) {
    DrawStandIn(painter, target, entry.folder);
    return;
  }
  if (entry.pixmap.size() != target.size()) entry.pixmap = entry.icon.pixmap(target.size());
  painter.drawPixmap(target, entry.pixmap);
}

}  // namespace wb::gui
