// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

// Gives each test a fresh, empty folder for its data files and a German locale.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }

  QString Folder() const { return dir_.path(); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QByteArray ReadBytes(const QString& name) const;
  void WriteBytes(const QString& name, const QByteArray& bytes) const;
  // Every entry of the folder with the bytes of its files: proves that nothing on disk changed.
  QByteArray Disk() const;

 private:
  QTemporaryDir dir_;
};
