// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr QLatin1StringView kTemporaryInfix(".tmp-");
constexpr int kTemporaryLetters = 6;

// The reason for a failed write in German where the system's words would be English.
QString ReasonOf(int error, const QString& fallback) {
  switch (error) {
    case ENOSPC:
      return QStringLiteral("der Datenträger ist voll; bitte schaffen Sie Platz");
#if defined(EDQUOT)
    case EDQUOT:
      return QStringLiteral("Ihr Speicherplatz ist erschöpft; bitte schaffen Sie Platz");
#endif
    case EFBIG:
      return QStringLiteral("die Datei überschreitet die erlaubte Dateigröße");
    case EIO:
      return QStringLiteral("Ein-/Ausgabefehler des Datenträgers");
    default:
      return fallback;
  }
}

QString SystemReason(int error) {
  return ReasonOf(error, QString::fromLocal8Bit(std::strerror(error)));
}

QString NotWholly(const QString& reason) {
  return QStringLiteral("Sie konnte nicht vollständig geschrieben werden (%1).").arg(reason);
}

QString CannotWrite(const QString& reason) {
  return QStringLiteral("Sie kann nicht geschrieben werden (%1).").arg(reason);
}

QString NotInPlace(const QString& reason) {
  return QStringLiteral("Sie konnte nicht an ihren Platz gebracht werden (%1).").arg(reason);
}

#if defined(Q_OS_UNIX)

// A descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes it now; the result of close.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// The file a rewrite of `path` replaces: `path` itself, or where its chain of links ends (which
// need not exist yet), so that a linked data file keeps its link.
QByteArray FinalTarget(QByteArray path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    QByteArray target(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n =
        ::readlink(path.constData(), target.data(), static_cast<size_t>(target.size()));
    if (n <= 0 || n >= target.size()) return path;
    target.truncate(n);
    if (!target.startsWith('/')) {
      const qsizetype slash = path.lastIndexOf('/');
      if (slash >= 0) target.prepend(path.left(slash + 1));
    }
    path = target;
  }
  return path;
}

std::optional<QString> WriteOnUnix(const QString& pathName, QByteArrayView bytes, Placing placing) {
  const QByteArray path = placing == Placing::Replace ? FinalTarget(QFile::encodeName(pathName))
                                                      : QFile::encodeName(pathName);
  const qsizetype slash = path.lastIndexOf('/');
  const QByteArray folderPath = slash < 0 ? QByteArray(".") : path.left(slash > 0 ? slash : 1);
  const QByteArray name = path.mid(slash + 1);

  struct stat old {};
  const bool exists = ::lstat(path.constData(), &old) == 0;
  if (exists && placing == Placing::NewName) {
    return CannotWrite(QStringLiteral("der Name ist bereits vergeben"));
  }
  if (exists && !S_ISREG(old.st_mode)) {
    return CannotWrite(S_ISDIR(old.st_mode) ? QStringLiteral("an ihrer Stelle steht ein Ordner")
                                            : QStringLiteral("sie ist keine gewöhnliche Datei"));
  }

  const Descriptor folder(::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() < 0) return CannotWrite(SystemReason(errno));

  // A name nothing holds, taken without following a link planted there.
  QByteArray temporary;
  Descriptor file;
  for (int attempt = 0; attempt < 100 && file.Get() < 0; ++attempt) {
    temporary = name + kTemporaryInfix.toString().toLatin1();
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int i = 0; i < kTemporaryLetters; ++i) {
      temporary += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    }
    const int fd = ::openat(folder.Get(), temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      file.Reset(fd);
    } else if (errno != EEXIST) {
      return CannotWrite(SystemReason(errno));
    }
  }
  if (file.Get() < 0) return CannotWrite(SystemReason(EEXIST));
  const auto discard = [&](const QString& sentence) {
    ::unlinkat(folder.Get(), temporary.constData(), 0);
    return std::optional<QString>(sentence);
  };

  // A rewritten file keeps its permissions; a new one stays readable by its owner only.
  if (exists && ::fchmod(file.Get(), old.st_mode & 07777) != 0) {
    return discard(CannotWrite(SystemReason(errno)));
  }
  qsizetype written = 0;
  while (written < bytes.size()) {
    const ssize_t n =
        ::write(file.Get(), bytes.data() + written, static_cast<size_t>(bytes.size() - written));
    if (n < 0 && errno == EINTR) continue;
    // A short write is followed by one that reports why (or writes on).
    if (n <= 0) return discard(NotWholly(SystemReason(n < 0 ? errno : ENOSPC)));
    written += n;
  }
  // A file system may report a full device only when the data is synced.
  if (::fsync(file.Get()) != 0) return discard(NotWholly(SystemReason(errno)));
  if (file.Close() != 0) return discard(NotWholly(SystemReason(errno)));

  if (placing == Placing::Replace) {
    if (::renameat(folder.Get(), temporary.constData(), folder.Get(), name.constData()) != 0) {
      return discard(NotInPlace(SystemReason(errno)));
    }
  } else {
    // A link never replaces what took the name meanwhile.
    if (::linkat(folder.Get(), temporary.constData(), folder.Get(), name.constData(), 0) != 0) {
      const int error = errno;
      return discard(NotInPlace(error == EEXIST ? QStringLiteral("der Name ist bereits vergeben")
                                                : SystemReason(error)));
    }
    ::unlinkat(folder.Get(), temporary.constData(), 0);
  }
  // Only a synced folder keeps the new name after a power cut; until then the old file may
  // come back.
  if (::fsync(folder.Get()) != 0) {
    return QStringLiteral(
               "Sie wurde geschrieben, aber ihr Ordner konnte nicht auf den Datenträger gebracht "
               "werden (%1); nach einem Stromausfall kann der alte Inhalt zurückkehren.")
        .arg(SystemReason(errno));
  }
  return std::nullopt;
}

#else

std::optional<QString> ErrorOf(QSaveFile& file) {
  const QString reason = file.errorString();
  file.cancelWriting();
  return NotWholly(reason.isEmpty() ? QStringLiteral("Schreibfehler") : reason);
}

std::optional<QString> WriteWithSaveFile(const QString& path, QByteArrayView bytes,
                                         Placing placing) {
  if (placing == Placing::NewName && QFileInfo(path).exists()) {
    return CannotWrite(QStringLiteral("der Name ist bereits vergeben"));
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return CannotWrite(file.errorString());
  }
  if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
    return ErrorOf(file);
  }
  if (!file.commit()) return NotInPlace(file.errorString());
  return std::nullopt;
}

#endif

}  // namespace

QString WriteFailureText(int error) {
  return NotWholly(ReasonOf(error, QStringLiteral("Schreibfehler")));
}

std::optional<QString> WriteFileAtomically(const QString& path, QByteArrayView bytes,
                                           Placing placing) {
#if defined(Q_OS_UNIX)
  return WriteOnUnix(path, bytes, placing);
#else
  return WriteWithSaveFile(path, bytes, placing);
#endif
}

bool IsTemporaryNameOf(const QString& name, const QString& fileName) {
  if (name.size() != fileName.size() + kTemporaryInfix.size() + kTemporaryLetters ||
      !name.startsWith(fileName) ||
      QStringView(name).sliced(fileName.size()).first(kTemporaryInfix.size()) != kTemporaryInfix) {
    return false;
  }
  for (const QChar c : QStringView(name).last(kTemporaryLetters)) {
    if (!(c >= u'A' && c <= u'Z') && !(c >= u'a' && c <= u'z') && !(c >= u'0' && c <= u'9'))
      return false;
  }
  return true;
}

std::optional<QString> AtomicFileWriter::Replace(const QString& path, QByteArrayView bytes) {
  return WriteFileAtomically(path, bytes, Placing::Replace);
}

std::optional<QString> AtomicFileWriter::Create(const QString& path, QByteArrayView bytes) {
  return WriteFileAtomically(path, bytes, Placing::NewName);
}

FileWriter& RealFileWriter() {
  static AtomicFileWriter writer;
  return writer;
}
