// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "temp_dir.h"

namespace {

// Every file of the folder with its bytes' hash and its modification time.
QStringList Snapshot(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::Files | QDir::Hidden);
  while (it.hasNext()) {
    QFile file(it.next());
    if (!file.open(QIODevice::ReadOnly)) continue;
    out << QStringLiteral("%1 %2 %3")
               .arg(it.fileName(),
                    QString::fromLatin1(
                        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                            .toHex()),
                    QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch()));
  }
  out.sort();
  return out;
}

bool WaitFor(const QString& path) {
  for (int i = 0; i < 200 && !QFileInfo::exists(path); ++i) QThread::msleep(50);
  return QFileInfo::exists(path);
}

}  // namespace

using DataFolderLock = InTempDir;

// The real program holds its folder: a second start is refused before it touches a file, and
// once the holder is killed (its lock file left behind) the folder opens again.
TEST_F(DataFolderLock, ARunningProgramKeepsOthersOffItsFolderAndAKilledOneDoesNot) {
  const QString folder = Path(QStringLiteral("daten"));
  QProcess first;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  first.setProcessEnvironment(environment);
  first.start(QStringLiteral(LUMIVERA_PROGRAM), {QStringLiteral("--data-dir"), folder});
  ASSERT_TRUE(first.waitForStarted());
  ASSERT_TRUE(WaitFor(folder + QStringLiteral("/lv_items.txt"))) << "the program did not start";
  const QStringList before = Snapshot(folder);
  ASSERT_EQ(before.size(), 4);  // three data files and the lock

  const QString workingDirectory = QDir::currentPath();
  DataFolder second;
  const auto refusal = second.Open(folder);
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(*refusal, QStringLiteral("Lumivera ist für den Ordner „%1“ bereits geöffnet. Bitte "
                                     "arbeiten Sie in dem offenen Fenster weiter.")
                          .arg(folder));
  EXPECT_FALSE(second.IsLocked());
  EXPECT_EQ(QDir::currentPath(), workingDirectory);
  EXPECT_EQ(Snapshot(folder), before);

  first.kill();
  ASSERT_TRUE(first.waitForFinished());
  ASSERT_TRUE(QFileInfo::exists(folder + QStringLiteral("/.lumivera.lock")));
  DataFolder third;
  EXPECT_EQ(third.Open(folder), std::nullopt);
  EXPECT_TRUE(third.IsLocked());
  EXPECT_EQ(third.Path(), folder);
  EXPECT_EQ(QDir::currentPath(), workingDirectory);
}
