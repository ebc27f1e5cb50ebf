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
  // Puts a new file with `bytes` at `path`, whole or not at all, only where nothing (not even a
  // dangling link) holds the name; never replaces or follows anything.
  [[nodiscard]] virtual std::optional<QString> Create(const QString& path,
                                                      QByteArrayView bytes) = 0;
};

// The sentence a failed write returns for the system's error number `error` (ENOSPC, EIO, ...).
QString WriteFailureText(int error);

// The writer of the program: WriteFileAtomically.
class AtomicFileWriter : public FileWriter {
 public:
  [[nodiscard]] std::optional<QString> Replace(const QString& path, QByteArrayView bytes) override;
  [[nodiscard]] std::optional<QString> Create(const QString& path, QByteArrayView bytes) override;
};

// The one AtomicFileWriter every Store uses unless it is given another.
FileWriter& RealFileWriter();

enum class Placing {
  // Renamed over whatever file the name holds; a link keeps pointing at its target, which is
  // replaced (with its permissions kept).
  Replace,
  // Linked to the name only while nothing holds it.
  NewName,
};

// Writes `bytes` to the file at `path` in one piece: the content goes to a new temporary file
// beside it (private, made without following any link), which takes the file's name only when
// every byte of it was written and synced to the device; then the folder is synced, so the new
// name survives a power cut. On any failure (a short write, a full device, a file size limit, an
// input/output error, a folder that cannot be synced) the temporary file is removed and a German
// sentence describing the failure is returned; before the rename, the old file stays as it was.
// New files are readable by their owner only.
[[nodiscard]] std::optional<QString> WriteFileAtomically(const QString& path, QByteArrayView bytes,
                                                         Placing placing = Placing::Replace);

// Whether `name` is the name the writer gives its temporary file for the file `fileName`
// (`lv_items.txt.tmp-` and six letters or digits).
bool IsTemporaryNameOf(const QString& name, const QString& fileName);
