// SPDX-License-Identifier: GPL-3.0-or-later
// Every procedure that rewrites a data file, against every way the rewrite can fail: the user is
// told in German which file could not be written, the file keeps its bytes, the table in memory
// still equals the file, and nothing is reported as saved.
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <functional>

#include "app/list_box.h"
#include "app_fixture.h"
#include "sample_data.h"

namespace {

enum class Failure { ReadOnlyDirectory, DirectoryInPlace, DiskFullAfterTwoBytes };

std::string Name(Failure failure) {
  switch (failure) {
    case Failure::ReadOnlyDirectory:
      return "ReadOnlyFolder";
    case Failure::DirectoryInPlace:
      return "FolderInTheFilesPlace";
    case Failure::DiskFullAfterTwoBytes:
      return "DiskFullAfterTwoBytes";
  }
  return "Unknown";
}
void PrintTo(Failure failure, std::ostream* out) {
  *out << Name(failure);
}

struct Action {
  const char* name;
  DataFile file;
  std::function<void(MainWindow&, DayLog&, RecordingMessageBoxes&)> run;
};

void Save(MainWindow& window, DayLog& dayLog, const QString& item) {
  window.itemBox->setEditText(item);
  window.valueBox->setEditText("7");
  window.descriptionBox->setPlainText("neu");
  dayLog.SaveEntry();
}

const Action kActions[] = {
    {"learning an item", DataFile::Categories,
     [](MainWindow& f, DayLog& m, RecordingMessageBoxes&) { Save(f, m, "Rudern"); }},
    {"appending an entry", DataFile::Entries,
     [](MainWindow& f, DayLog& m, RecordingMessageBoxes&) { Save(f, m, "Walken"); }},
    {"updating an entry", DataFile::Entries,
     [](MainWindow& f, DayLog& m, RecordingMessageBoxes&) { Save(f, m, "Joggen"); }},
    {"deleting an entry", DataFile::Entries,
     [](MainWindow& f, DayLog& m, RecordingMessageBoxes& boxes) {
       m.FillDayList();
       f.dayList->setCurrentRow(0);
       boxes.SetNextAnswer(true);
       m.DeleteEntryAt(1);
     }},
    {"adding a person", DataFile::Persons,
     [](MainWindow& f, DayLog& m, RecordingMessageBoxes&) {
       f.personBox->setEditText("Anna");
       m.AddPerson();
     }},
};

QByteArray TableBytes(const Store& store, DataFile file) {
  switch (file) {
    case DataFile::Persons:
      return PersonFileBytes(store.persons);
    case DataFile::Categories:
      return CategoryFileBytes(store.categories);
    case DataFile::Entries:
      return EntryFileBytes(store.entries);
  }
  return {};
}

class FailedWrites : public AppTest, public ::testing::WithParamInterface<Failure> {
 protected:
  void TearDown() override {
    Restore();
    AppTest::TearDown();
  }

  void Restore() {
    if (geteuid() != getuid()) {
      ASSERT_EQ(seteuid(getuid()), 0);
    }
    chmod(dayLog->store.Folder().toLocal8Bit().constData(), 0700);
    writer.FailAfterBytes(-1);
  }

  // A new window on a new, empty data folder of its own.
  void FreshWindowIn(const QString& directory) {
    dayLog.reset();
    window.reset();
    messages.shown.clear();
    ASSERT_TRUE(QDir().mkdir(Path(directory)));
    window = std::make_unique<MainWindow>();
    dayLog = std::make_unique<DayLog>(*window, messages, clock, Path(directory));
    dayLog->store.UseWriter(writer);
    ConnectEvents(*window, *dayLog);
  }

  void MakeWritesFail(DataFile file) {
    const QString path = dayLog->store.Path(file);
    switch (GetParam()) {
      case Failure::ReadOnlyDirectory:
        ASSERT_EQ(chmod(Path(".").toLocal8Bit().constData(), 0755), 0);  // reachable by others
        ASSERT_EQ(chmod(dayLog->store.Folder().toLocal8Bit().constData(), 0555), 0);
        // Permissions do not bind root: act as an ordinary user for the rest of the test.
        if (geteuid() == 0) {
          ASSERT_EQ(seteuid(65534), 0);
        }
        break;
      case Failure::DirectoryInPlace:
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QDir().mkdir(path));
        break;
      case Failure::DiskFullAfterTwoBytes:
        writer.FailAfterBytes(2);
        break;
    }
  }
};

}  // namespace

TEST_P(FailedWrites, NothingIsLostAndNothingIsReportedAsSaved) {
  for (const Action& action : kActions) {
    SCOPED_TRACE(action.name);
    Restore();
    FreshWindowIn(QString::fromUtf8(action.name));
    WriteBytes(QString::fromUtf8(action.name) + "/lv_items.txt",
               "1\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"x\",\"\",\"\"\r\n");
    StartUp();
    window->personBox->setCurrentIndex(0);
    window->SelectTab(3);
    const QString relative = QString::fromUtf8(action.name) + "/" + FileName(action.file);
    const QByteArray before = ReadBytes(relative);
    ASSERT_EQ(TableBytes(dayLog->store, action.file), before);

    MakeWritesFail(action.file);
    action.run(*window, *dayLog, messages);

    Restore();
    const QString quoted = QString::fromUtf8("„%1“").arg(FileName(action.file));
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().title, "Lumivera");
    EXPECT_TRUE(messages.shown.back().text.contains(quoted))
        << messages.shown.back().text.toStdString();
    for (const auto& shown : messages.shown) {
      EXPECT_NE(shown.text, "Gespeichert.");
      EXPECT_NE(shown.text, "Updated.");
    }
    if (GetParam() == Failure::DirectoryInPlace) {
      EXPECT_TRUE(QFileInfo(dayLog->store.Path(action.file)).isDir());
    } else {
      EXPECT_EQ(ReadBytes(relative), before);
    }
    EXPECT_EQ(TableBytes(dayLog->store, action.file), before);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, FailedWrites,
                         ::testing::Values(Failure::ReadOnlyDirectory, Failure::DirectoryInPlace,
                                           Failure::DiskFullAfterTwoBytes),
                         [](const auto& param) { return Name(param.param); });
