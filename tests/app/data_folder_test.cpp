// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cerrno>

#include "store/store.h"
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

namespace {

mode_t ModeOf(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Runs `script` in a shell with the real program as $0 and the test's folder as $1; its exit
// code, and what it wrote to stderr.
std::pair<int, QString> RunInShell(const QString& folder, const QString& script) {
  QProcess shell;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  shell.setProcessEnvironment(environment);
  shell.start(QStringLiteral("/bin/sh"),
              {QStringLiteral("-c"), script, QStringLiteral(LUMIVERA_PROGRAM), folder});
  // The refusal is shown in a box as well; a termination signal closes it.
  QByteArray errors;
  shell.waitForStarted();
  for (int i = 0; i < 200 && shell.state() == QProcess::Running && !errors.contains("UTF-8"); ++i) {
    shell.waitForReadyRead(50);
    errors += shell.readAllStandardError();
  }
  shell.terminate();  // the program itself, which the shell became
  shell.waitForFinished();
  errors += shell.readAllStandardError();
  return {shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1,
          QString::fromLocal8Bit(errors)};
}

}  // namespace

using DataFolderMaking = InTempDir;

// The folders the program makes, its lock and its new files are the user's alone; a file that
// was there keeps its permissions, and a data file that is a link keeps its link.
TEST_F(DataFolderMaking, WhatItMakesIsPrivateAndWhatWasThereKeepsItsMode) {
  const mode_t umaskBefore = umask(022);
  const QString folder = Path(QStringLiteral("eins/zwei"));
  DataFolder opened;
  ASSERT_EQ(opened.Open(folder), std::nullopt);
  ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("anderswo"))));
  const QString linked = Path(QStringLiteral("anderswo/personen.txt"));
  {
    QFile file(linked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1\r\n\"Haushalt\"\r\n");
  }
  ASSERT_TRUE(QFile::setPermissions(linked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
  ASSERT_TRUE(QFile::link(linked, folder + QStringLiteral("/lv_personen.txt")));
  Store store(folder);
  ASSERT_TRUE(store.LoadData().isEmpty());
  store.persons.rows.push_back(PersonRow{{Value(QStringLiteral("Anna"))}});
  ASSERT_EQ(store.WritePersonFile(), std::nullopt);
  umask(umaskBefore);

  EXPECT_EQ(ModeOf(Path(QStringLiteral("eins"))), 0700u);
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(ModeOf(folder + QStringLiteral("/.lumivera.lock")), 0600u);
  EXPECT_EQ(ModeOf(folder + QStringLiteral("/lv_kategorien.txt")), 0600u);
  EXPECT_EQ(ModeOf(folder + QStringLiteral("/lv_items.txt")), 0600u);
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/lv_personen.txt")).isSymLink());
  EXPECT_EQ(ModeOf(linked), 0644u);
  QFile file(linked);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("2\r\n\"Haushalt\"\r\n\"Anna\"\r\n"));
}

// A folder name that is no UTF-8, named on the command line or the current directory, is
// refused with exit code 1; no other folder is opened or made in its place.
TEST_F(DataFolderMaking, TheRealProgramRefusesAFolderNameItCannotRepresent) {
  const QString made = QStringLiteral("mkdir \"$(printf '%s/tagebuch-\\377' \"$1\")\" && ");
  const QString cases[] = {
      QStringLiteral("exec \"$0\" --data-dir \"$(printf '%s/tagebuch-\\377' \"$1\")\""),
      made + QStringLiteral("cd \"$(printf '%s/tagebuch-\\377' \"$1\")\" && exec \"$0\""),
  };
  for (const QString& script : cases) {
    SCOPED_TRACE(script.toStdString());
    QDir(Folder()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(Folder()));
    const auto [exitCode, errors] = RunInShell(Folder(), script);
    EXPECT_EQ(exitCode, 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("UTF-8"))) << errors.toStdString();
    // The folder of that name holds nothing (when the shell made it), and no other was made.
    const QByteArray named = QFile::encodeName(Folder()) + "/tagebuch-\xff";
    EXPECT_TRUE(rmdir(named.constData()) == 0 || errno == ENOENT) << "files were made in it";
    EXPECT_EQ(QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
  }
}

// SIGTERM ends the real program as closing its window does: exit code 0, the lock released.
// At start, holding the lock, it removed the temporary files a killed program left, and only
// those.
TEST_F(DataFolderMaking, ATerminationSignalClosesTheProgramAndLeftTemporaryFilesGo) {
  const QString folder = Path(QStringLiteral("daten"));
  ASSERT_TRUE(QDir().mkdir(folder));
  const QStringList left = {QStringLiteral("lv_items.txt.tmp-Ab3dE9"),
                            QStringLiteral("lv_personen.txt.beschaedigt-2.tmp-xY12zQ")};
  const QStringList others = {QStringLiteral("lv_items.txt.backup"),
                              QStringLiteral("lv_items.txt.tmp-abc"),
                              QStringLiteral("notizen.txt.tmp-Ab3dE9")};
  for (const QString& name : left + others) {
    QFile file(folder + u'/' + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(LUMIVERA_PROGRAM), {QStringLiteral("--data-dir"), folder});
  ASSERT_TRUE(program.waitForStarted());
  ASSERT_TRUE(WaitFor(folder + QStringLiteral("/lv_items.txt"))) << "the program did not start";
  QThread::msleep(300);
  program.terminate();  // SIGTERM
  ASSERT_TRUE(program.waitForFinished());
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  const QStringList present = QDir(folder).entryList(QDir::Files | QDir::Hidden);
  EXPECT_FALSE(present.contains(QStringLiteral(".lumivera.lock")));
  for (const QString& name : left) EXPECT_FALSE(present.contains(name)) << name.toStdString();
  for (const QString& name : others) EXPECT_TRUE(present.contains(name)) << name.toStdString();
}
