// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

QString ListBox::SelectedText() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text();
}

void ListBox::AddLine(const QString& text, const QVariant& standsFor) {
  auto* line = new QListWidgetItem(text, this);
  line->setData(Qt::UserRole, standsFor);
}

QVariant ListBox::SelectedData() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QVariant() : selected.front()->data(Qt::UserRole);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
  int button = 0;
  switch (event->button()) {
    case Qt::LeftButton:
      button = 1;
      break;
    case Qt::RightButton:
      button = 2;
      break;
    case Qt::MiddleButton:
      button = 4;
      break;
    default:
      break;
  }
  if (button == 1) {
    QListWidgetItem* under = itemAt(event->position().toPoint());
    QListWidget::mousePressEvent(event);
    // Whatever the modifier keys, the line under the pointer is the selection; a press beside the
    // lines leaves none, so the handler never works on a line the user did not press.
    if (under)
      setCurrentItem(under, QItemSelectionModel::ClearAndSelect);
    else
      clearSelection();
  } else {
    event->accept();
  }
  if (button != 0) emit Pressed(button);
}

// The second press of a double click arrives as a double-click event: it is a press all the same.
void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (event->key() != Qt::Key_Delete || !plain) {
    QListWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  // A held key asks once, not again after every answer.
  if (event->isAutoRepeat() || !currentItem()) return;
  setCurrentItem(currentItem(), QItemSelectionModel::ClearAndSelect);
  emit Pressed(1);
}
