// The files of a drop, as the session takes paths.

#ifndef BRIMWALD_APP_QT_DROPPED_FILES_H_
#define BRIMWALD_APP_QT_DROPPED_FILES_H_

#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <string>
#include <vector>

namespace brimwald {

/// The local files that `data` names, as the system's bytes; anything else
/// counts as a file no session takes (""), so that a drop of a file and a link
/// is refused, not taken for the file alone.
inline std::vector<std::string> DroppedFiles(const QMimeData& data) {
  std::vector<std::string> files;
  for (const QUrl& url : data.urls()) {
    files.push_back(url.isLocalFile()
                        ? QFile::encodeName(url.toLocalFile()).toStdString()
                        : "");
  }
  return files;
}

}  // namespace brimwald

#endif  // BRIMWALD_APP_QT_DROPPED_FILES_H_
