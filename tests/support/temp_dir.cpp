// SPDX-License-Identifier: GPL-3.0-or-later
#include "temp_dir.h"

#include <QDir>
#include <QFile>

QByteArray InTempDir::ReadBytes(const QString& name) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void InTempDir::WriteBytes(const QString& name, const QByteArray& bytes) const {
  QFile file(Path(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray InTempDir::Disk() const {
  QByteArray all;
  for (const QString& name : QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
    all += name.toUtf8() + ':' + ReadBytes(name) + '|';
  }
  return all;
}
