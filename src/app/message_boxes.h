// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class QMessageBox;
class QWidget;

// The only way the program tells the user something: modal boxes without an icon.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A message with an OK button.
  virtual void Show(const QString& title, const QString& text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(const QString& title, const QString& text) = 0;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Show(const QString& title, const QString& text) override;
  bool AskYesNo(const QString& title, const QString& text) override;

 private:
  // Gives the buttons of the box the icons of the first box's buttons. A button's icon from the
  // style is a new icon for every box, and each new one leaves its pictures in the toolkit's
  // pixmap cache, about 2 KiB a box until the cache is full; one icon per button is drawn once.
  void ShareIcons(QMessageBox& box);

  QWidget* parent_;
  QHash<int, QIcon> icons_;
};
