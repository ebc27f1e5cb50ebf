// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

#if defined(Q_OS_UNIX)
namespace {

// Why a file of this kind is not read, or nothing for a regular file.
std::optional<QString> KindProblem(mode_t mode) {
  if (S_ISREG(mode)) return std::nullopt;
  if (S_ISDIR(mode)) return QStringLiteral("an ihrer Stelle steht ein Ordner");
  if (S_ISFIFO(mode)) return QStringLiteral("sie ist keine gewöhnliche Datei, sondern eine Pipe");
  if (S_ISSOCK(mode)) return QStringLiteral("sie ist keine gewöhnliche Datei, sondern ein Socket");
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return QStringLiteral("sie ist keine gewöhnliche Datei, sondern ein Gerät");
  }
  return QStringLiteral("sie ist keine gewöhnliche Datei");
}

QString TooLarge(qint64 size, qint64 largest) {
  const QLocale german(QLocale::German, QLocale::Germany);
  return QStringLiteral(
             "sie ist mit %1 Bytes größer als die größte Datei dieser Art, die Lumivera liest "
             "(%2 Bytes)")
      .arg(german.toString(size), german.toString(largest));
}

}  // namespace
#endif

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 largestBytes, QString* reason,
                                        FileStamp* stamp, qint64 (*roomFor)(qint64)) {
#if defined(Q_OS_UNIX)
  const QByteArray name = QFile::encodeName(path);
  // A look at what the name holds before it is opened: a named pipe would block the open, a
  // device could be read without end.
  struct stat st {};
  if (::stat(name.constData(), &st) != 0) {
    *reason = errno == ENOENT ? QStringLiteral("sie fehlt")
                              : QString::fromLocal8Bit(std::strerror(errno));
    return std::nullopt;
  }
  if (auto problem = KindProblem(st.st_mode)) {
    *reason = *problem;
    return std::nullopt;
  }
  if (st.st_size > largestBytes) {
    *reason = TooLarge(st.st_size, largestBytes);
    return std::nullopt;
  }
  // Not blocking, in case something else took the name since the look; what was opened is
  // looked at again.
  const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return std::nullopt;
  }
  const auto fail = [&](const QString& why) {
    ::close(fd);
    *reason = why;
    return std::optional<QByteArray>();
  };
  if (::fstat(fd, &st) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  if (auto problem = KindProblem(st.st_mode)) return fail(*problem);
  if (st.st_size > largestBytes) return fail(TooLarge(st.st_size, largestBytes));
  if (stamp) *stamp = StampOf(st);
  // One byte more than the size tells a file that grew meanwhile beyond the bound.
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(st.st_size + 1 + (roomFor ? roomFor(st.st_size) : 0)));
  bytes.resize(static_cast<qsizetype>(st.st_size) + 1);
  qsizetype filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (bytes.size() > largestBytes) return fail(TooLarge(bytes.size(), largestBytes));
      bytes.resize(std::min<qint64>(bytes.size() * 2, largestBytes + 1));
    }
    const ssize_t n = ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (n == 0) break;
    filled += n;
  }
  ::close(fd);
  bytes.truncate(filled);
  return bytes;
#else
  if (QFileInfo(path).isDir()) {
    *reason = QStringLiteral("an ihrer Stelle steht ein Ordner");
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = file.exists() ? file.errorString() : QStringLiteral("sie fehlt");
    return std::nullopt;
  }
  if (file.size() > largestBytes) {
    *reason = QStringLiteral("sie ist größer als die größte Datei, die Lumivera liest");
    return std::nullopt;
  }
  if (stamp) *stamp = StampOfPath(path);
  (void)roomFor;
  QByteArray bytes = file.read(largestBytes + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > largestBytes) {
    *reason = file.errorString();
    return std::nullopt;
  }
  return bytes;
#endif
}
