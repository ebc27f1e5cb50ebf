// SPDX-License-Identifier: GPL-3.0-or-later
#include "world.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <stdexcept>

#include "app/event_wiring.h"
#include "app/picture_box.h"
#include "dayview/calendar.h"
#include "format/date_format.h"
#include "sample_data.h"
#include "store/data_files.h"

namespace {
constexpr std::uint32_t kSeed = 20240305;

DataFiles MakeFiles(DataSet set) {
  if (set == DataSet::Defaults) {
    return {DefaultFileBytes(DataFile::Persons), DefaultFileBytes(DataFile::Categories),
            DefaultFileBytes(DataFile::Entries)};
  }
  SampleData data = MakeSampleData(kSeed, EntryTable::kCapacity, QDate(2026, 12, 31));
  if (set == DataSet::FullLessOne) {
    data.entries.rows.pop_back();
    data.persons.rows.pop_back();
  }
  if (set == DataSet::ShownMonthOnly) {
    const QDate first(kToday.year(), kToday.month(), 1);
    const QDate last = first.addMonths(2).addDays(-1);
    EntryTable shown;
    for (const EntryRow& row : data.entries.rows) {
      if (row.Person() == Value(kPerson) && row.Date().IsDate() && row.Date().Date() >= first &&
          row.Date().Date() <= last)
        shown.rows.push_back(row);
    }
    data.entries = std::move(shown);
  }
  return {PersonFileBytes(data.persons), CategoryFileBytes(data.categories),
          EntryFileBytes(data.entries)};
}
}  // namespace

const DataFiles& FilesOf(DataSet set) {
  static const DataFiles full = MakeFiles(DataSet::Full);
  static const DataFiles fullLessOne = MakeFiles(DataSet::FullLessOne);
  static const DataFiles defaults = MakeFiles(DataSet::Defaults);
  static const DataFiles shown = MakeFiles(DataSet::ShownMonthOnly);
  switch (set) {
    case DataSet::Full:
      return full;
    case DataSet::FullLessOne:
      return fullLessOne;
    case DataSet::ShownMonthOnly:
      return shown;
    case DataSet::Defaults:
      break;
  }
  return defaults;
}

World::World(std::optional<DataSet> set) : folder_(set ? dir_.path() : QDir::currentPath()) {
  if (set && !dir_.isValid()) throw std::runtime_error("no temporary data folder");
  if (set) {
    const DataFiles& files = FilesOf(*set);
    WriteFile(FileName(DataFile::Persons), files.persons);
    WriteFile(FileName(DataFile::Categories), files.categories);
    WriteFile(FileName(DataFile::Entries), files.entries);
  }
  NewWindow();
}

World::~World() {
  DropOldWindow();
  dayLog_.reset();
  window_.reset();
}

void World::NewWindow() {
  DropOldWindow();
  dayLog_.reset();
  MakeWindow();
}

void World::NewWindowKeepingOld() {
  DropOldWindow();
  oldDayLog_ = std::move(dayLog_);
  oldWindow_ = std::move(window_);
  MakeWindow();
}

void World::MakeWindow() {
  window_ = std::make_unique<MainWindow>();
  dayLog_ = std::make_unique<DayLog>(*window_, messages_, clock_, folder_);
}

void World::DropOldWindow() {
  oldDayLog_.reset();
  oldWindow_.reset();
}

void World::StartUp() {
  LoadWindow(*window_, *dayLog_, kScreen);
}

void World::OpenDayView(const QString& tab) {
  window_->show();
  ProcessEvents();
  // A name chosen in the person box: the calendar, then the tab page.
  window_->personBox->setCurrentIndex(window_->personBox->findText(kPerson));
  dayLog_->DrawCalendar();
  dayLog_->ShowTabPage();
  SelectTab(tab);
  ProcessEvents();
}

void World::SelectTab(const QString& caption) {
  for (int i = 0; i < window_->tabs->count(); ++i) {
    if (window_->tabs->tabText(i) == caption) window_->tabs->setCurrentIndex(i);
  }
  dayLog_->ShowTabPage();
}

QPointF World::CalendarRowCentre(int day) const {
  const CalendarGeometry geometry(window_->calendar->Width(), window_->calendar->Height());
  return {geometry.Width() / 2, (geometry.RowTop(day) + geometry.RowBottom(day)) / 2};
}

void World::ProcessEvents() {
  QApplication::processEvents();
}

void World::WriteFile(const QString& name, const QByteArray& bytes) const {
  QFile file(QDir(folder_).filePath(name));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    throw std::runtime_error("cannot write a data file");
  }
}
