// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/choice_box.h"

#include <QLineEdit>

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent) {
  // The flag is raised by a connection made before the combo box makes its own to the same
  // signals and lowered by one made after: connections run in the order they were made.
  auto* edit = new QLineEdit(this);
  const auto raise = [this] { finishingEdit_ = true; };
  const auto lower = [this] { finishingEdit_ = false; };
  connect(edit, &QLineEdit::returnPressed, this, raise);
  connect(edit, &QLineEdit::editingFinished, this, raise);
  setLineEdit(edit);  // makes the box editable
  connect(edit, &QLineEdit::returnPressed, this, lower);
  connect(edit, &QLineEdit::editingFinished, this, lower);
  setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
  connect(this, &QComboBox::activated, this, [this] {
    if (!finishingEdit_) emit Chosen();
  });
}
