// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/choice_box.h"

#include <QLineEdit>
#include <QStringList>

#include "store/cell_text.h"

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
  // Only the user's own keystrokes: texts the program sets are no typing.
  connect(edit, &QLineEdit::textEdited, this, [this] { typed_ = true; });
  connect(this, &QComboBox::activated, this, [this] {
    if (finishingEdit_) return;
    typed_ = false;
    shown_.reset();
    emit Chosen();
  });
}

void ChoiceBox::SetChoices(const std::vector<Value>& cells) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(cells.size()));
  for (const Value& cell : cells) texts << CellText(cell);
  clear();
  addItems(texts);
  for (int i = 0; i < count(); ++i) {
    setItemData(i, QVariant::fromValue(cells[static_cast<std::size_t>(i)]), Qt::UserRole);
  }
  // Adding to an empty box selects its first entry; none is chosen yet.
  setCurrentIndex(-1);
  clearEditText();
  typed_ = false;
  shown_.reset();
}

void ChoiceBox::ShowCell(const Value& cell) {
  shownText_ = CellText(cell);
  setEditText(shownText_);
  shown_ = cell;
  typed_ = false;
}

Value ChoiceBox::Cell() const {
  const QString text = currentText();
  if (!typed_) {
    if (shown_ && shownText_ == text) return *shown_;
    const int index = currentIndex();
    if (!shown_ && index >= 0 && itemText(index) == text) {
      const QVariant cell = itemData(index, Qt::UserRole);
      if (cell.canConvert<Value>()) return cell.value<Value>();
    }
  }
  return Value(text);
}
