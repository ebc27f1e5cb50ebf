// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>

#include "app_fixture.h"

// A day's backup that cannot be made is told once per run, before the change's own answer; the
// saves go through all the same, and the day's next change tries again.
TEST_F(SportPageTest, AFailedBackupIsToldOnceAndTheSavesGoThrough) {
  FailingFileWriter backupWriter;
  backupWriter.FailAfterBytes(0);
  dayLog->store.Backups().UseWriter(backupWriter);
  TypeAndSave(QStringLiteral("Joggen"), QStringLiteral("5"));
  TypeAndSave(QStringLiteral("Rad"), QStringLiteral("7"));
  const QStringList texts = messages.Texts();
  ASSERT_EQ(texts.size(), 3) << texts.join(u'|').toStdString();
  EXPECT_TRUE(
      texts[0].startsWith(QStringLiteral("Die tägliche Sicherung in den Ordner „")) &&
      texts[0].contains(QDir::toNativeSeparators(Path(QStringLiteral("Sicherungen/2024-03-05")))))
      << texts[0].toStdString();
  EXPECT_EQ(texts[1], QStringLiteral("Gespeichert."));
  EXPECT_EQ(texts[2], QStringLiteral("Gespeichert."));

  backupWriter.FailAfterBytes(-1);
  TypeAndSave(QStringLiteral("Schwimmen"), QStringLiteral("1"));
  EXPECT_EQ(messages.Texts().size(), 4);
  EXPECT_TRUE(QFileInfo(Path(QStringLiteral("Sicherungen/2024-03-05/lv_items.txt"))).isFile());
}
