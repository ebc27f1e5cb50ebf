// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>

#include "store/atomic_file.h"

// Writes like the program does until told to fail: then every content longer than the given
// number of bytes is refused as a full disk would refuse it, and the old file keeps its bytes.
class FailingFileWriter : public FileWriter {
 public:
  // A negative number of bytes: every write goes through.
  void FailAfterBytes(qint64 bytes) { failAfterBytes_ = bytes; }
  [[nodiscard]] std::optional<QString> Replace(const QString& path, QByteArrayView bytes) override {
    if (failAfterBytes_ >= 0 && bytes.size() > failAfterBytes_) {
      return WriteFailureText(ENOSPC);
    }
    return WriteFileAtomically(path, bytes);
  }
  [[nodiscard]] std::optional<QString> Create(const QString& path, QByteArrayView bytes) override {
    if (failAfterBytes_ >= 0 && bytes.size() > failAfterBytes_) {
      return WriteFailureText(ENOSPC);
    }
    return WriteFileAtomically(path, bytes, Placing::NewName);
  }

 private:
  qint64 failAfterBytes_ = -1;
};
