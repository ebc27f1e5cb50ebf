// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Replaces the file at `path` with `bytes` in one piece: the content goes to a temporary file in
// the same directory, which is renamed over the old file only when all of it was written. On any
// failure the old file stays as it was and a German sentence describing the failure is returned.
std::optional<QString> WriteFileAtomically(const QString& path, QByteArrayView bytes);

// Test seam: the next writes fail after this many bytes (a negative number switches it off).
void SetWriteFailureAfterBytesForTesting(qint64 bytes);
