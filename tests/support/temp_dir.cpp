// SPDX-License-Identifier: GPL-3.0-or-later
#include "temp_dir.h"

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
