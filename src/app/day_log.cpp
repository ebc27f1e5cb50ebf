// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/day_log.h"

#include <QComboBox>

#include "app/clock.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "store/cell_text.h"

DayLog::DayLog(MainWindow& window, MessageBoxes& messages, const Clock& clock,
               const QString& dataFolder)
    : store(dataFolder), window_(window), messages_(messages), clock_(clock) {}

void DayLog::Tell(const QString& text) {
  messages_.Show(QStringLiteral("Lumivera"), text);
}

void DayLog::FillPersonBox() {
  QStringList names;
  for (const PersonRow& row : store.persons.rows) names << CellText(row.Name());
  window_.personBox->clear();
  window_.personBox->addItems(names);
  window_.personBox->setCurrentIndex(-1);
  window_.personBox->clearEditText();
}

void DayLog::LoadData() {
  for (const QString& problem : store.LoadData()) Tell(problem);
  FillPersonBox();
}
