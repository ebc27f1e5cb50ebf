// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/whole_file.h"

#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {
#if defined(Q_OS_UNIX)
FileStamp StampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = static_cast<qint64>(st.st_size);
  stamp.modifiedNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  stamp.changedNs = static_cast<qint64>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
  stamp.inode = static_cast<quint64>(st.st_ino);
  stamp.device = static_cast<quint64>(st.st_dev);
  return stamp;
}
#endif

}  // namespace

FileStamp StampOfPath(const QString& path) {
#if defined(Q_OS_UNIX)
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  return StampOf(st);
#else
  const QFileInfo info(path);
  if (!info.exists()) return {};
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = info.size();
  stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
  return stamp;
#endif
}

std::optional<QByteArray> ReadWholeFile(const QString& path, QString* reason, FileStamp* stamp) {
  if (QFileInfo(path).isDir()) {
    *reason = QStringLiteral("an ihrer Stelle steht ein Ordner");
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = file.exists() ? file.errorString() : QStringLiteral("sie fehlt");
    return std::nullopt;
  }
  if (stamp) {
#if defined(Q_OS_UNIX)
    struct stat st {};
    *stamp = ::fstat(file.handle(), &st) == 0 ? StampOf(st) : FileStamp();
#else
    *stamp = StampOfPath(path);
#endif
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *reason = file.errorString();
    return std::nullopt;
  }
  return bytes;
}
