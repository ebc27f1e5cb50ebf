// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/atomic_file.h"

#include <QSaveFile>

namespace {
qint64 g_failAfterBytes = -1;
}

void SetWriteFailureAfterBytesForTesting(qint64 bytes) {
  g_failAfterBytes = bytes;
}

std::optional<QString> WriteFileAtomically(const QString& path, QByteArrayView bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return QStringLiteral("Die Datei kann nicht geschrieben werden (%1).").arg(file.errorString());
  }
  const bool injectFailure = g_failAfterBytes >= 0 && g_failAfterBytes < bytes.size();
  const QByteArrayView part = injectFailure ? bytes.first(g_failAfterBytes) : bytes;
  if (file.write(part.data(), part.size()) != part.size() || injectFailure) {
    const QString reason = injectFailure ? QStringLiteral("Datenträger voll") : file.errorString();
    file.cancelWriting();
    return QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden (%1).")
        .arg(reason);
  }
  if (!file.commit()) {
    return QStringLiteral("Die Datei konnte nicht gespeichert werden (%1).")
        .arg(file.errorString());
  }
  return std::nullopt;
}
