// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <memory>

#include "app/toolkit_translations.h"

// The standard context menus of the text boxes speak German in a German locale: none of their
// entries keeps the toolkit's English text.
TEST(ToolkitTexts, TheTextBoxesContextMenusAreGerman) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  InstallToolkitTranslations(*QCoreApplication::instance());
  QPlainTextEdit description;
  QLineEdit line;
  line.setText(QStringLiteral("Haushalt"));
  const std::unique_ptr<QMenu> menus[] = {
      std::unique_ptr<QMenu>(description.createStandardContextMenu()),
      std::unique_ptr<QMenu>(line.createStandardContextMenu())};
  const QStringList english = {QStringLiteral("Undo"),      QStringLiteral("Redo"),
                               QStringLiteral("Cut"),       QStringLiteral("Copy"),
                               QStringLiteral("Paste"),     QStringLiteral("Delete"),
                               QStringLiteral("Select All")};
  for (const auto& menu : menus) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
      if (!action->isSeparator()) texts << action->text().remove(u'&').section(u'\t', 0, 0);
    }
    ASSERT_GE(texts.size(), 6);
    // A screen reader hears the same German names.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(menu.get());
    ASSERT_NE(read, nullptr);
    QStringList heard;
    for (int i = 0; i < read->childCount(); ++i) {
      const QString name =
          read->child(i)->text(QAccessible::Name).remove(u'&').section(u'\t', 0, 0);
      if (!name.isEmpty()) heard << name;
    }
    EXPECT_TRUE(heard.contains(QStringLiteral("Rückgängig"))) << heard.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Rückgängig"))) << texts.join(u'|').toStdString();
    for (const QString& text : texts) EXPECT_FALSE(english.contains(text)) << text.toStdString();
  }
}
