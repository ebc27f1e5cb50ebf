// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_boxes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

// A message quotes bytes of a file; whatever they hold, the box shows them as they are.
TEST(MessageBoxes, ShowTheirTextAsPlainTextWhateverItHolds) {
  const QString text = QStringLiteral("Feld „<h1>Alles in Ordnung</h1><!--“ ist beschädigt.");
  QtMessageBoxes boxes;
  for (const bool question : {false, true}) {
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      if (label) {
        shown = label->text();
        format = label->textFormat();
      }
      box->reject();
    });
    if (question) {
      (void)boxes.AskYesNo(QStringLiteral("Lumivera"), text);
    } else {
      boxes.Show(QStringLiteral("Lumivera"), text);
    }
    EXPECT_EQ(shown, text);
    EXPECT_EQ(format, Qt::PlainText) << "question: " << question;
  }
}
