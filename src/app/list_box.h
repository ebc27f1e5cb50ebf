// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

// A list box that reports every mouse press with its button (1 left, 2 right, 4 middle).
// Only the primary button selects the line under the pointer (a press beside the lines selects
// none); any other button leaves the selection as it was. Every press is reported once, also the
// second press of a double click. Delete is a press of the primary button on the current line:
// it selects that line and is reported as button 1.
class ListBox : public QListWidget {
  Q_OBJECT

 public:
  using QListWidget::QListWidget;
  // The text of the selected line, empty when none is selected.
  QString SelectedText() const;
  // Adds a line at the end that stands for `standsFor`.
  void AddLine(const QString& text, const QVariant& standsFor);
  // What the selected line stands for; invalid when no line is selected.
  QVariant SelectedData() const;

 signals:
  void Pressed(int button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};
