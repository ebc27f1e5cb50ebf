// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore_dialog.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app_fixture.h"
#include "store/changes.h"

// The dialog lists the backups newest first, every control named for a screen reader, and
// restores the chosen one by keyboard alone after a question.
TEST_F(AppTest, RestoreDialogRestoresTheChosenBackupByKeyboard) {
  Store store(Folder());
  store.Backups().UseToday([] { return QDate(2001, 1, 8); });
  ASSERT_TRUE(store.LoadData().isEmpty());
  const QByteArray first = ReadBytes(QStringLiteral("lv_personen.txt"));
  ASSERT_EQ(StorePerson(store, Value("Anna")).result, AddPersonResult::Added);
  store.Backups().UseToday([] { return QDate(2001, 1, 9); });
  ASSERT_EQ(StorePerson(store, Value("Ben")).result, AddPersonResult::Added);

  RestoreDialog dialog(Folder(), messages);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  ASSERT_EQ(dialog.backupList->count(), 2);
  EXPECT_TRUE(dialog.backupList->item(0)->text().startsWith(QStringLiteral("2001-01-09")));
  for (QWidget* control :
       {static_cast<QWidget*>(dialog.backupList), static_cast<QWidget*>(dialog.restoreButton),
        static_cast<QWidget*>(dialog.closeButton)}) {
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
  }
  EXPECT_TRUE(dialog.backupList->hasFocus());

  QTest::keyClick(dialog.backupList, Qt::Key_Down);
  messages.SetNextAnswer(true);
  QTest::keyClick(dialog.backupList, Qt::Key_Return);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_TRUE(messages.shown[0].question);
  EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("2001-01-08")));
  EXPECT_TRUE(messages.shown[1].text.contains(QStringLiteral("wiederhergestellt")))
      << messages.shown[1].text.toStdString();
  EXPECT_EQ(ReadBytes(QStringLiteral("lv_personen.txt")), first);
  EXPECT_EQ(dialog.backupList->count(), 4);  // today's backup and the one before the restore
  // The refilled list keeps the chosen backup chosen: a second Return never restores another one.
  EXPECT_TRUE(dialog.backupList->currentItem()->text().startsWith(QStringLiteral("2001-01-08")));
}
