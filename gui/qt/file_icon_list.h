// The system's file-icon list as the markup's SSYS:/LSYS: images use it: file
// types resolved through the MIME database, icons from the desktop's icon
// theme, and a drawn page when the theme has none. Gui thread only.
#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QPixmap>
#include <QString>
#include <vector>

class QPainter;
class QRect;

namespace wb::gui {

class FileIconList {
 public:
  static FileIconList& Instance();

  // Icon numbers of the list that always exist.
  static constexpr int kDocumentIcon = 0;
  static constexpr int kFolderIcon = 1;

  // The icon of an existing file or folder, else the icon of the path's file type.
  int IndexForPath(const QString& path);
  int Count() const { return static_cast<int>(icons_.size()); }
  // Draws icon index scaled into target with its transparency; unknown numbers draw nothing.
  void Draw(QPainter& painter, int index, const QRect& target);
  // Whether the icon theme supplied the picture (false: the drawn stand-in is used).
  bool HasThemeIcon(int index);

 private:
  FileIconList();
  struct Entry {
    QString iconName;
    QString genericName;
    bool folder = false;
    bool resolved = false;
    QIcon icon;
    QPixmap pixmap;  // the icon at the size last drawn: rows repaint at one size
  };
  int IndexForIconName(const QString& iconName, const QString& genericName, bool folder);
  void Resolve(Entry& entry);

  QMimeDatabase mimeDatabase_;
  std::vector<Entry> icons_;
  QHash<QString, int> byIconName_;
  QHash<QString, int> bySuffix_;
};

}  // namespace wb::gui
