// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>
#include <optional>

class QLockFile;

// The folder the data files are kept in, and the lock that keeps a second program off it while
// this one runs: two programs on one folder would each rewrite whole
// files from their own tables, and the later save would drop what the other one saved.
class DataFolder {
 public:
  DataFolder();
  ~DataFolder();
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  // Creates the folder when missing (an empty path is the current directory) and locks it. A
  // German message for the user when the folder cannot be created or entered or another program
  // holds it; no file was written then. A folder where no lock can be made (read-only) is opened
  // without one.
  [[nodiscard]] std::optional<QString> Open(const QString& path);

  // The absolute path of the folder opened.
  QString Path() const { return path_; }

  // Whether this program holds the folder's lock.
  bool IsLocked() const { return lock_ != nullptr; }

 private:
  std::unique_ptr<QLockFile> lock_;
  QString path_;
};

// The lock's file name: hidden, and unlike the names of the data files.
inline constexpr char16_t kLockFileName[] = u".lumivera.lock";
