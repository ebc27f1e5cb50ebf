// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
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

  // Creates the folder when missing (an empty path is the current directory; the folders made
  // are the user's alone) and locks it, then removes temporary files a killed program left. A
  // German message for the user when the folder cannot be created or entered, another program
  // holds it, or the current directory's name cannot be represented exactly; no file was
  // written then. A folder where no lock can be made (read-only) is opened without one.
  [[nodiscard]] std::optional<QString> Open(const QString& path);

  // The absolute path of the folder opened.
  QString Path() const { return path_; }

  // Whether this program holds the folder's lock.
  bool IsLocked() const { return lock_ != nullptr; }
  // Whether Open failed because another program holds the folder's lock.
  bool HeldElsewhere() const { return heldElsewhere_; }

 private:
  std::unique_ptr<QLockFile> lock_;
  QString path_;
  bool heldElsewhere_ = false;
};

// Whether the system's bytes `raw` of a file name come back unchanged from the text they are
// read as (they are UTF-8); otherwise the text names another folder.
bool IsExactName(QByteArrayView raw);
// The refusal of the folder named by `--data-dir` (or `-d`) among the program's arguments when
// its bytes cannot be represented exactly.
[[nodiscard]] std::optional<QString> InexactDataFolderArgument(int argc, char* argv[]);

// The lock's file name: hidden, and unlike the names of the data files.
inline constexpr char16_t kLockFileName[] = u".lumivera.lock";
