// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/day_log.h"

#include <QComboBox>

#include "app/clock.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "store/change_history.h"

DayLog::DayLog(MainWindow& window, MessageBoxes& messages, const Clock& clock,
               const QString& dataFolder)
    : store(dataFolder),
      history(std::make_unique<ChangeHistory>()),
      window_(window),
      messages_(messages),
      clock_(clock) {
  store.Backups().UseToday([c = &clock_] { return c->Today(); });
}

DayLog::~DayLog() = default;

void DayLog::Tell(const QString& text) {
  messages_.Show(QStringLiteral("Lumivera"), text);
}

void DayLog::TellBackupProblem() {
  if (auto warning = store.Backups().TakeWarning()) Tell(*warning);
}

void DayLog::FillPersonBox() {
  std::vector<Value> names;
  names.reserve(store.persons.rows.size());
  for (const PersonRow& row : store.persons.rows) names.push_back(row.Name());
  window_.personBox->SetChoices(names);
}

void DayLog::LoadData() {
  // What loading met in the three files is told in one box, a paragraph a file.
  const QStringList problems = store.LoadData();
  if (!problems.isEmpty()) Tell(problems.join(QStringLiteral("\n\n")));
  FillPersonBox();
}
