// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

class MessageBoxes;
class QListWidget;
class QPushButton;

// A small window that lists the backups of a data folder, newest first, and restores the one
// chosen after a question. Usable by keyboard alone: the list has the focus, Enter restores,
// Escape closes.
class RestoreDialog : public QDialog {
 public:
  // `dataFolder` as the command line names it (empty: the current directory).
  RestoreDialog(const QString& dataFolder, MessageBoxes& messages, QWidget* parent = nullptr);

  QListWidget* backupList;
  QPushButton* restoreButton;
  QPushButton* closeButton;

 private:
  // The backups, newest first; `chosen` stays the current one when it is still listed.
  void FillList(const QString& chosen = QString());
  void RestoreChosen();

  QString dataFolder_;
  MessageBoxes& messages_;
};
