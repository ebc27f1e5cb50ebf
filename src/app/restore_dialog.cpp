// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/message_boxes.h"
#include "app/restore_command.h"
#include "store/backup_restore.h"

namespace {

const QString kTitle = QStringLiteral("Sicherung wiederherstellen");
constexpr int kNameRole = Qt::UserRole;

}  // namespace

RestoreDialog::RestoreDialog(const QString& dataFolder, MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), dataFolder_(dataFolder), messages_(messages) {
  setWindowTitle(kTitle);
  setAccessibleName(kTitle);
  setAccessibleDescription(
      QStringLiteral("Wählen Sie mit den Pfeiltasten eine Sicherung und drücken Sie die "
                     "Eingabetaste, um sie wiederherzustellen; Escape schließt."));
  auto* heading = new QLabel(QStringLiteral("&Sicherungen in „%1“, die neueste zuerst:")
                                 .arg(QDir::toNativeSeparators(AbsoluteDataFolder(dataFolder))),
                             this);
  heading->setWordWrap(true);
  backupList = new QListWidget(this);
  backupList->setObjectName(QStringLiteral("backupList"));
  backupList->setAccessibleName(QStringLiteral("Sicherungen"));
  heading->setBuddy(backupList);
  restoreButton = new QPushButton(QStringLiteral("&Wiederherstellen…"), this);
  restoreButton->setObjectName(QStringLiteral("restoreButton"));
  restoreButton->setAccessibleName(QStringLiteral("Wiederherstellen"));
  restoreButton->setDefault(true);
  closeButton = new QPushButton(QStringLiteral("S&chließen"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setAccessibleName(QStringLiteral("Schließen"));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(restoreButton, QDialogButtonBox::AcceptRole);
  buttons->addButton(closeButton, QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(backupList);
  layout->addWidget(buttons);
  resize(640, 360);

  connect(restoreButton, &QPushButton::clicked, this, [this] { RestoreChosen(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(backupList, &QListWidget::itemDoubleClicked, this, [this] { RestoreChosen(); });
  connect(backupList, &QListWidget::currentRowChanged, this,
          [this](int row) { restoreButton->setEnabled(row >= 0); });
  FillList();
  backupList->setFocus();
}

void RestoreDialog::FillList() {
  backupList->clear();
  for (const BackupSummary& backup : ListBackups(AbsoluteDataFolder(dataFolder_))) {
    auto* item = new QListWidgetItem(BackupLine(backup), backupList);
    item->setData(kNameRole, backup.name);
  }
  if (backupList->count() == 0) {
    auto* item = new QListWidgetItem(QStringLiteral("Es gibt noch keine Sicherungen."), backupList);
    item->setFlags(Qt::NoItemFlags);
    restoreButton->setEnabled(false);
    return;
  }
  backupList->setCurrentRow(0);
}

void RestoreDialog::RestoreChosen() {
  const QListWidgetItem* item = backupList->currentItem();
  if (!item || !(item->flags() & Qt::ItemIsEnabled)) return;
  const QString name = item->data(kNameRole).toString();
  if (!messages_.AskYesNo(kTitle,
                          QStringLiteral("Die Daten werden durch die Sicherung „%1“ ersetzt. Die "
                                         "jetzigen Dateien werden vorher als eigene Sicherung "
                                         "aufbewahrt. Wiederherstellen?")
                              .arg(name))) {
    return;
  }
  const RestoreReport report = RestoreInFolder(dataFolder_, name);
  // The list behind the answer already holds the backup of the files as they were.
  FillList();
  messages_.Show(kTitle, report.text);
}
