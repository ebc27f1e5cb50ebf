// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// Replaces whole files. The store writes every data file through one of these, so a test can
// put a writer in its place that fails the way a device can.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // Replaces the file at `path` with `bytes` whole or not at all. On failure the old file keeps
  // its bytes and a German sentence describing the failure is returned; it speaks of the file
  // as "Sie", following a sentence that names it.
  [[nodiscard]] virtual std::optional<QString> Replace(const QString& path,
                                                       QByteArrayView bytes) = 0;
};

// The sentence a failed write returns for the system's error number `error` (ENOSPC, EIO, ...).
QString WriteFailureText(int error);

// The writer of the program: WriteFileAtomically.
class AtomicFileWriter : public FileWriter {
 public:
  [[nodiscard]] std::optional<QString> Replace(const QString& path, QByteArrayView bytes) override;
};

// The one AtomicFileWriter every Store uses unless it is given another.
FileWriter& RealFileWriter();

// Replaces the file at `path` with `bytes` in one piece: the content goes to a temporary file in
// the same directory, which is renamed over the old file only when every byte of it was written
// and synced to the device. On any failure (a short write, a full device, a file size limit, an
// input/output error) the temporary file is removed, the old file stays as it was and a German
// sentence describing the failure is returned.
[[nodiscard]] std::optional<QString> WriteFileAtomically(const QString& path, QByteArrayView bytes);
