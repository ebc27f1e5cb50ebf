// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

// Runs each test in a fresh, empty working directory with a German locale, and goes back to
// the previous directory afterwards.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  void TearDown() override { QDir::setCurrent(previous_); }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QByteArray ReadBytes(const QString& name) const;
  void WriteBytes(const QString& name, const QByteArray& bytes) const;

 private:
  QTemporaryDir dir_;
  QString previous_;
};
