// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// What a file looked like on disk when it was last read or written: enough to notice that
// another program has replaced or rewritten it since.
struct FileStamp {
  bool exists = false;
  qint64 size = 0;
  qint64 modifiedNs = 0;  // content last modified
  qint64 changedNs = 0;   // inode last changed; no program can set it back
  quint64 inode = 0;
  quint64 device = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path`; `exists` is false when there is nothing of that name.
[[nodiscard]] FileStamp StampOfPath(const QString& path);

// The whole file, and in `stamp` what it looked like when it was opened: a change while it is
// read moves its time stamps past that, so the next look notices it. Nothing, with the reason in
// German in `reason`, when it cannot be read: when it is missing, is no regular file (a folder,
// a named pipe, a device, a socket, also behind a link; these are never opened in a way that
// could block or read them) or holds more than `largestBytes` bytes (then nothing of it is read).
// With `roomFor`, the memory holds roomFor(size) bytes more than the file, for what is written
// into it next.
[[nodiscard]] std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 largestBytes,
                                                      QString* reason, FileStamp* stamp = nullptr,
                                                      qint64 (*roomFor)(qint64) = nullptr);
