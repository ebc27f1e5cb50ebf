// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

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

  connect(restoreButton, &QPushButton::clicked, this, [this] { RestoreChosen(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(backupList, &QListWidget::itemDoubleClicked, this, [this] { RestoreChosen(); });
  connect(backupList, &QListWidget::currentRowChanged, this,
          [this](int row) { restoreButton->setEnabled(row >= 0); });
  FillList();
  // Wide enough for the longest line (a backup kept before a restore names its time), within the
  // screen.
  const QMargins margins = layout->contentsMargins();
  int width = backupList->sizeHintForColumn(0) + 2 * backupList->frameWidth() +
              style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins.left() + margins.right();
  if (const QScreen* shown = screen()) width = std::min(width, shown->availableGeometry().width());
  resize(std::max(640, width), 360);
  backupList->setFocus();
}

void RestoreDialog::FillList(const QString& chosen) {
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
  // The backup chosen before stays chosen, so a second try after a refusal restores the same one.
  int row = 0;
  for (int i = 0; i < backupList->count(); ++i) {
    if (!chosen.isEmpty() && backupList->item(i)->data(kNameRole).toString() == chosen) row = i;
  }
  backupList->setCurrentRow(row);
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
  FillList(name);
  messages_.Show(kTitle, report.text);
}
