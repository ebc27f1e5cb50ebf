// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/atomic_file.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace {

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

QString NotWholly(const QString& reason) {
  return QStringLiteral("Sie konnte nicht vollständig geschrieben werden (%1).").arg(reason);
}

std::optional<QString> Discard(QSaveFile& file, const QString& reason) {
  file.cancelWriting();
  return NotWholly(reason);
}

QString ErrorOf(const QSaveFile& file) {
  const QString reason = file.errorString();
  return reason.isEmpty() ? QStringLiteral("Schreibfehler") : reason;
}

}  // namespace

QString WriteFailureText(int error) {
  return NotWholly(ReasonOf(error, QStringLiteral("Schreibfehler")));
}

std::optional<QString> WriteFileAtomically(const QString& path, QByteArrayView bytes) {
  QSaveFile file(path);
  // Unbuffered: every write reaches the file at once and its result is the device's. A buffered
  // save file writes small contents only when it is committed, and a failure there would still
  // put the cut file in place of the old one.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return QStringLiteral("Sie kann nicht geschrieben werden (%1).").arg(file.errorString());
  }
  qint64 written = 0;
  while (written < bytes.size()) {
    const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
    if (n <= 0) {
      const int error = errno;
      return Discard(file, ReasonOf(error, ErrorOf(file)));
    }
    written += n;
  }
  if (file.error() != QFileDevice::NoError || !file.flush()) {
    const int error = errno;
    return Discard(file, ReasonOf(error, ErrorOf(file)));
  }
#if defined(Q_OS_UNIX)
  // A file system may report a full device only when the data is synced; the save file ignores
  // a failing sync, so it is checked here, before the rename.
#if defined(Q_OS_LINUX)
  const int synced = ::fdatasync(file.handle());
#else
  const int synced = ::fsync(file.handle());
#endif
  if (synced != 0) {
    const int error = errno;
    return Discard(file, ReasonOf(error, QString::fromLocal8Bit(std::strerror(error))));
  }
#endif
  if (!file.commit()) {
    return QStringLiteral("Sie konnte nicht an ihren Platz gebracht werden (%1).")
        .arg(file.errorString());
  }
  return std::nullopt;
}

std::optional<QString> AtomicFileWriter::Replace(const QString& path, QByteArrayView bytes) {
  return WriteFileAtomically(path, bytes);
}

FileWriter& RealFileWriter() {
  static AtomicFileWriter writer;
  return writer;
}
