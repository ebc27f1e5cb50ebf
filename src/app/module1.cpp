#include "app/module1.h"

#include <QComboBox>

#include "app/clock.h"
#include "app/form1.h"
#include "app/message_boxes.h"

Module1::Module1(Form1& form, MessageBoxes& messages, const Clock& clock)
    : form_(form), messages_(messages), clock_(clock) {}

void Module1::Tell(const QString& text) {
  messages_.Show(QStringLiteral("Lumivera"), text);
}

void Module1::FillPersonBox() {
  QStringList names;
  for (const PersonRow& row : store.persons.rows) names << row.name().text();
  form_.Combo3->clear();
  form_.Combo3->addItems(names);
  form_.Combo3->setCurrentIndex(-1);
  form_.Combo3->clearEditText();
}

void Module1::LoadData() {
  for (const QString& problem : store.LoadData()) Tell(problem);
  FillPersonBox();
}
