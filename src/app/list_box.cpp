#include "app/list_box.h"

#include <QMouseEvent>

QString ListBox::SelectedText() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text();
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
    QListWidget::mousePressEvent(event);
  } else {
    event->accept();
  }
  if (button != 0) emit Pressed(button);
}
