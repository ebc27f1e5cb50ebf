// SPDX-License-Identifier: GPL-3.0-or-later
// Rewrites through the program's own writer on a device that refuses the bytes part-way: every
// rewriting change reports the failure, names the file, sets its table back, and every file
// keeps its bytes. A lowered file size limit (in a child process) makes any write fail past a
// given size, for contents below and above the size that file libraries buffer (16 KiB).
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <functional>

#include "entries.h"
#include "sample_data.h"
#include "store/changes.h"
#include "temp_dir.h"

namespace {

enum class Action { LearningAnItem, SavingAnEntry, DeletingAnEntry, AddingAPerson };
enum class Size { FileBelowBuffer, FileAboveBuffer };

const char* Name(Action action) {
  switch (action) {
    case Action::LearningAnItem:
      return "LearningAnItem";
    case Action::SavingAnEntry:
      return "SavingAnEntry";
    case Action::DeletingAnEntry:
      return "DeletingAnEntry";
    case Action::AddingAPerson:
      return "AddingAPerson";
  }
  return "";
}
const char* Name(Size size) {
  return size == Size::FileBelowBuffer ? "FileBelowBuffer" : "FileAboveBuffer";
}
void PrintTo(Action action, std::ostream* out) {
  *out << Name(action);
}
void PrintTo(Size size, std::ostream* out) {
  *out << Name(size);
}

DataFile FileOf(Action action) {
  switch (action) {
    case Action::LearningAnItem:
      return DataFile::Categories;
    case Action::AddingAPerson:
      return DataFile::Persons;
    default:
      return DataFile::Entries;
  }
}

const QDate kDay(2024, 3, 5);
const DataFile kFiles[] = {DataFile::Persons, DataFile::Categories, DataFile::Entries};

// The three files of about `bytes` bytes each: 50 persons, 200 pairs, 100 entries with long
// texts.
SampleData FilesOfAbout(qsizetype bytes) {
  SampleData data;
  const QString padding(static_cast<qsizetype>(bytes / 200), u'x');
  for (int i = 0; i < 50; ++i) {
    data.persons.rows.push_back(
        PersonRow{{Value(QStringLiteral("Person %1 ").arg(i) + padding + padding + padding)}});
  }
  for (int i = 0; i < 200; ++i) {
    data.categories.rows.push_back(CategoryRow{
        {Value(QStringLiteral("Sport")), Value(QStringLiteral("Item %1 ").arg(i) + padding)}});
  }
  for (int i = 0; i < 100; ++i) {
    EntryRow row =
        MakeEntry(kDay.addDays(i % 7), Value(QStringLiteral("Haushalt")),
                  Value(QStringLiteral("Sport")), Value(QStringLiteral("Item %1").arg(i)));
    row.Description() = Value(padding.left(bytes / 100 - 60));
    data.entries.rows.push_back(row);
  }
  return data;
}

// Runs the change; true when it was refused with a message that names its file and the table
// was set back.
bool RunFailing(Action action, Store& store, QString* message) {
  const int before[] = {store.persons.Count(), store.categories.Count(), store.entries.Count()};
  switch (action) {
    case Action::LearningAnItem:
    case Action::SavingAnEntry: {
      const QString item = action == Action::LearningAnItem ? QStringLiteral("Rudern")
                                                            : store.categories.Row(1).Item().Text();
      const SaveOutcome out = StoreEntry(
          store, {Value(kDay.addDays(20)), QStringLiteral("Sport"), item,
                  store.persons.Row(1).Name(), QStringLiteral("3"), QStringLiteral("neu")});
      *message = out.messages.join(u'\n');
      if (out.result != SaveOutcome::Result::Refused || out.learned) return false;
      break;
    }
    case Action::DeletingAnEntry: {
      const RemoveOutcome out = RemoveEntry(store, store.entries.Row(1), 1);
      *message = out.messages.join(u'\n');
      if (out.result != RemoveOutcome::Result::Refused) return false;
      break;
    }
    case Action::AddingAPerson: {
      const AddPersonOutcome out = StorePerson(store, QStringLiteral("Anna"));
      *message = out.messages.join(u'\n');
      if (out.result != AddPersonOutcome::Result::Refused) return false;
      break;
    }
  }
  const int after[] = {store.persons.Count(), store.categories.Count(), store.entries.Count()};
  return std::equal(std::begin(before), std::end(before), std::begin(after)) &&
         message->contains(QStringLiteral("„%1“").arg(FileName(FileOf(action))));
}

struct ChildResult {
  int exitCode = -1;
  QString text;  // what the child wrote to its pipe
};

// Runs `body` in a child process; its result is the exit code, its message goes to the pipe.
ChildResult InChild(const std::function<int(QString&)>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    QString text;
    const int code = body(text);
    const QByteArray bytes = text.toUtf8();
    ssize_t ignored = write(fds[1], bytes.constData(), static_cast<size_t>(bytes.size()));
    (void)ignored;
    _exit(code);
  }
  close(fds[1]);
  QByteArray bytes;
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          QString::fromUtf8(bytes)};
}

class FullDisk : public InTempDir, public ::testing::WithParamInterface<std::tuple<Size, Action>> {
 protected:
  QByteArray Disk() const {
    QByteArray all;
    for (const QString& name : QDir(Path(".")).entryList(QDir::Files | QDir::Hidden)) {
      all += name.toUtf8() + ':' + ReadBytes(name) + '|';
    }
    return all;
  }
};

class FilledTmpfs : public InTempDir {};

}  // namespace

TEST_P(FullDisk, TheRealRewriteFailsWholeAndEveryFileKeepsItsBytes) {
  const auto [size, action] = GetParam();
  const SampleData data = FilesOfAbout(size == Size::FileBelowBuffer ? 10000 : 40000);
  WriteSampleFiles(data, Folder());
  const QByteArray before = Disk();
  const QString name = FileName(FileOf(action));
  const qsizetype oldSize = ReadBytes(name).size();
  ASSERT_EQ(oldSize < 16384, size == Size::FileBelowBuffer) << oldSize;

  // The change on an unlimited device, for the size of the new content.
  {
    Store store(Folder());
    ASSERT_TRUE(store.LoadData().isEmpty());
    QString message;
    ASSERT_FALSE(RunFailing(action, store, &message)) << message.toStdString();
  }
  const qsizetype newSize = ReadBytes(name).size();
  ASSERT_NE(newSize, oldSize);
  WriteSampleFiles(data, Folder());
  ASSERT_EQ(Disk(), before);

  // One byte short, and half of it.
  for (const qsizetype limit : {newSize - 1, newSize / 2}) {
    SCOPED_TRACE(limit);
    const ChildResult result = InChild([&](QString& message) {
      Store store(Folder());
      if (!store.LoadData().isEmpty()) return 3;
      signal(SIGXFSZ, SIG_IGN);
      const rlimit rl{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
      if (setrlimit(RLIMIT_FSIZE, &rl) != 0) return 4;
      return RunFailing(action, store, &message) ? 0 : 1;
    });
    EXPECT_EQ(result.exitCode, 0) << result.text.toStdString();
    EXPECT_FALSE(result.text.isEmpty());
    EXPECT_EQ(Disk(), before) << "no file changed, no temporary file left";
    RecordProperty("message", result.text.toStdString());
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryRewrite, FullDisk,
    ::testing::Combine(::testing::Values(Size::FileBelowBuffer, Size::FileAboveBuffer),
                       ::testing::Values(Action::LearningAnItem, Action::SavingAnEntry,
                                         Action::DeletingAnEntry, Action::AddingAPerson)),
    [](const ::testing::TestParamInfo<std::tuple<Size, Action>>& param) {
      return std::string(Name(std::get<0>(param.param))) + "_" + Name(std::get<1>(param.param));
    });

// Where the test may mount (as root, in a mount namespace of its own): a 64 KiB tmpfs holding
// the files, filled to the last byte by another file.
TEST_F(FilledTmpfs, RefusesEveryRewriteAndEveryFileKeepsItsBytes) {
  const SampleData data = FilesOfAbout(14000);
  const ChildResult result = InChild([&](QString& messages) {
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return 77;
    }
    const QByteArray mountPoint = QFile::encodeName(Path("tmpfs"));
    if (mkdir(mountPoint.constData(), 0700) != 0 ||
        mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0) {
      return 77;
    }
    const QDir folder(Path("tmpfs"));
    WriteSampleFiles(data, folder.path());
    const QByteArray files[] = {PersonFileBytes(data.persons), CategoryFileBytes(data.categories),
                                EntryFileBytes(data.entries)};
    Store store(folder.path());
    if (!store.LoadData().isEmpty()) return 3;
    const int fill = open(QFile::encodeName(folder.filePath(QStringLiteral("fill"))).constData(),
                          O_WRONLY | O_CREAT, 0600);
    static const char zeros[4096] = {};
    while (write(fill, zeros, sizeof zeros) > 0) {
    }
    while (write(fill, zeros, 1) > 0) {
    }
    close(fill);
    int failures = 0;
    for (Action action : {Action::LearningAnItem, Action::SavingAnEntry, Action::DeletingAnEntry,
                          Action::AddingAPerson}) {
      QString message;
      if (!RunFailing(action, store, &message)) failures |= 1;
      messages += QString::fromUtf8(Name(action)) + QStringLiteral(": ") + message + QChar(u'\n');
    }
    for (int i = 0; i < 3; ++i) {
      QFile file(store.Path(kFiles[i]));
      if (!file.open(QIODevice::ReadOnly) || file.readAll() != files[i]) failures |= 2;
    }
    if (folder.entryList(QDir::Files).size() != 4) failures |= 4;
    return failures;
  });
  if (result.exitCode == 77) GTEST_SKIP() << "no tmpfs can be mounted here";
  EXPECT_EQ(result.exitCode, 0) << result.text.toStdString();
  RecordProperty("messages", result.text.toStdString());
}
