// SPDX-License-Identifier: GPL-3.0-or-later
// Every task by keyboard alone, every control named for a screen reader, and texts readable and
// tab captions whole under another style and a dark palette.
#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTimer>

#include "app/list_box.h"
#include "app/picture_box.h"
#include "app_fixture.h"
#include "dayview/calendar.h"
#include "entries.h"
#include "format/date_format.h"

namespace {

class Keyboard : public SportPageTest {
 protected:
  void SetUp() override {
    SportPageTest::SetUp();
    ShowActive();
  }
  static QString Spoken(QObject* object, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(text) : QStringLiteral("(none)");
  }
};

// Every interface a screen reader can reach from the window, with the path that leads to it.
void Walk(QAccessibleInterface* iface, const QString& path,
          std::vector<std::pair<QString, QAccessibleInterface*>>& out) {
  out.emplace_back(path, iface);
  for (int i = 0; i < iface->childCount(); ++i) {
    if (QAccessibleInterface* child = iface->child(i))
      Walk(child, path + u'/' + child->text(QAccessible::Name), out);
  }
}

}  // namespace

TEST_F(Keyboard, CalendarKeysSelectDaysAndStepMonthsAsPressesAndButtonsDo) {
  dayLog->store.entries.rows = {MakeEntry({2024, 3, 6}, "Haushalt", "Sport")};
  const struct {
    Qt::Key key;
    QDate selected, shownFirst;
  } steps[] = {
      {Qt::Key_Down, {2024, 3, 6}, {2024, 3, 1}},
      {Qt::Key_Home, {2024, 3, 1}, {2024, 3, 1}},
      {Qt::Key_Up, {2024, 2, 29}, {2024, 2, 1}},  // the 1st's previous day is the month before
      {Qt::Key_Down, {2024, 3, 1}, {2024, 3, 1}},
      {Qt::Key_End, {2024, 3, 31}, {2024, 3, 1}},
      {Qt::Key_PageDown, {2024, 3, 31}, {2024, 4, 1}},  // as ">": the selected day stays
      {Qt::Key_Down, {2024, 4, 1}, {2024, 4, 1}},       // selected day not shown: the first
      {Qt::Key_PageUp, {2024, 4, 1}, {2024, 3, 1}},
      {Qt::Key_Up, {2024, 3, 31}, {2024, 3, 1}},  // selected day not shown: the last
      {Qt::Key_Down, {2024, 4, 1}, {2024, 4, 1}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.selected.toString(Qt::ISODate).toStdString());
    window->tabCaptionField->clear();
    QTest::keyClick(window->calendar, step.key);
    EXPECT_EQ(dayLog->SelectedDate, Value(step.selected));
    EXPECT_EQ(FirstOfMonth(dayLog->ViewMonth.Date()), step.shownFirst);
    if (step.key == Qt::Key_PageDown || step.key == Qt::Key_PageUp) continue;
    EXPECT_EQ(window->selectedDayField->text(), DayHeading(step.selected));
    EXPECT_EQ(window->tabCaptionField->text(), "Sport");
    EXPECT_EQ(window->dayList->count(), step.selected == QDate(2024, 3, 6) ? 1 : 0);
  }

  // A key draws exactly what a press in the day's row draws.
  QTest::keyClick(window->calendar, Qt::Key_PageUp);
  QTest::keyClick(window->calendar, Qt::Key_Home);
  QTest::keyClick(window->calendar, Qt::Key_Down);
  const QImage byKey = window->calendar->Picture();
  QTest::keyClick(window->calendar, Qt::Key_End);
  const CalendarGeometry g(window->calendar->Width(), window->calendar->Height());
  QTest::mouseClick(
      window->calendar, Qt::LeftButton, {},
      window->calendar->ToPixels(0.1f * g.Width(), (g.RowTop(2) + g.RowBottom(2)) / 2));
  EXPECT_EQ(dayLog->SelectedDate, Value(QDate(2024, 3, 2)));
  EXPECT_TRUE(window->calendar->Picture() == byKey);

  // Return and Enter press a focused button, as Space does.
  QTest::keyClick(window->nextMonthButton, Qt::Key_Return);
  QTest::keyClick(window->nextMonthButton, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(dayLog->ViewMonth, Value(QDate(2024, 5, 1)));
  QTest::keyClick(window->saveButton, Qt::Key_Return);
  EXPECT_EQ(messages.Texts(), QStringList{"Gespeichert."});
}

TEST_F(Keyboard, DeleteOnTheDayListAsksAndDeletesAsAPressOnTheLineDoes) {
  QTest::keyClick(window->dayList, Qt::Key_Delete);  // no line: nothing to ask
  TypeAndSave("Joggen", "5");
  ASSERT_EQ(window->dayList->count(), 1);
  messages.shown.clear();
  QTest::keyClick(window->dayList, Qt::Key_Down);  // the first line becomes the current one
  messages.SetNextAnswer(false);
  QTest::keyClick(window->dayList, Qt::Key_Delete);
  EXPECT_EQ(window->dayList->count(), 1);
  messages.SetNextAnswer(true);
  QTest::keyClick(window->dayList, Qt::Key_Delete);
  EXPECT_EQ(messages.Texts(), (QStringList{"Wollen Sie den Eintrag wirklich löschen?",
                                           "Wollen Sie den Eintrag wirklich löschen?"}));
  EXPECT_EQ(window->dayList->count(), 0);
  EXPECT_TRUE(dayLog->store.entries.rows.empty());
  EXPECT_EQ(ReadBytes("lv_items.txt"), "0\r\n");
}

TEST_F(Keyboard, TabLeavesTheDescriptionAndTheQuestionAnswersByKey) {
  QTest::mouseClick(window->descriptionBox->viewport(), Qt::LeftButton);
  ASSERT_EQ(QApplication::focusWidget(), window->descriptionBox);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window->itemHeading);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), window->displayList);
  EXPECT_EQ(window->descriptionBox->toPlainText(), "[Beschreibung]");

  // The real question box: J and Return answer Yes, N and Escape No.
  for (const auto& [key, yes] : {std::pair{Qt::Key_J, true},
                                 {Qt::Key_N, false},
                                 {Qt::Key_Escape, false},
                                 {Qt::Key_Return, true}}) {
    SCOPED_TRACE(key);
    QString clicked;
    QTimer::singleShot(0, [&, key = key] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      QObject::connect(box, &QMessageBox::buttonClicked,
                       [&](QAbstractButton* button) { clicked = button->text(); });
      // Whatever happens, the box closes, so that a key that does nothing fails the test.
      QTimer::singleShot(3000, box, [box] { box->done(-1); });
      QTest::keyClick(box, key);
    });
    QtMessageBoxes boxes(window.get());
    EXPECT_EQ(boxes.AskYesNo("Info", "Wollen Sie den Eintrag wirklich löschen?"), yes);
    EXPECT_EQ(clicked, QString::fromUtf8(yes ? "&Ja" : "&Nein"));
  }
}

TEST_F(Keyboard, EveryControlIsNamedAndThePicturesSayWhatTheyShow) {
  TypeAndSave("Joggen", "5,5");
  std::vector<std::pair<QString, QAccessibleInterface*>> reachable;
  Walk(QAccessible::queryAccessibleInterface(window.get()), QStringLiteral("Lumivera"), reachable);
  EXPECT_GT(reachable.size(), 60u);
  for (const auto& [path, iface] : reachable) {
    const QString name = iface->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty() || name == "Lumivera 1.0") << path.toStdString();
  }

  const std::pair<QWidget*, const char*> named[] = {
      {window->personBox, "Auswahl Person"},
      {window->itemHeading, "Auswahl"},
      {window->itemBox, "Auswahl"},
      {window->valueHeading, "Wert km/€/Zeit/Anzahl"},
      {window->valueBox, "Wert km/€/Zeit/Anzahl"},
      {window->displayList, "Anzeige"},
      {window->descriptionBox, "Beschreibung"},
      {window->seriesCategoryBox, "Kategorie"},
      {window->seriesItemBox, "Kategorie-Item"},
      {window->selectedDayField, "Gewählter Tag"},
      {window->previousMonthButton, "Voriger Monat"},
      {window->dayList, "Einträge des gewählten Tages"},
  };
  for (const auto& [widget, name] : named) EXPECT_EQ(Spoken(widget), QString::fromUtf8(name));
  EXPECT_EQ(Spoken(window->valueBox, QAccessible::Value), "5,5");
  EXPECT_TRUE(Spoken(window->dayList, QAccessible::Description).startsWith("Entf"));

  EXPECT_EQ(Spoken(window->calendar),
            "Kalender März 2024, gewählter Tag Dienstag, 05.03., Einträge: Sport");
  EXPECT_TRUE(Spoken(window->calendar, QAccessible::Description)
                  .startsWith("Tage mit Einträgen: 05.03. (Di.) Sport. Heute: 05.03. (Di.)."));
  QTest::keyClick(window->calendar, Qt::Key_Down);
  EXPECT_EQ(Spoken(window->calendar),
            "Kalender März 2024, gewählter Tag Mittwoch, 06.03., keine Einträge");
  QTest::keyClick(window->calendar, Qt::Key_PageDown);
  EXPECT_EQ(Spoken(window->calendar),
            "Kalender April 2024, gewählter Tag Mittwoch, 06.03. in einem anderen Monat");
  EXPECT_TRUE(Spoken(window->calendar, QAccessible::Description)
                  .startsWith("Keine Tage mit Einträgen. Pfeil auf und ab"));
  QTest::keyClick(window->calendar, Qt::Key_PageUp);

  ClickTab(7);
  EXPECT_EQ(Spoken(window->chart), "Entwicklung Haushalt, ohne Kategorie, alle Items, März 2024");
  // What the chart shows, then the key it takes.
  const QString copyKey = QString::fromUtf8(
      " Strg+C kopiert das Diagramm als Bild und seine Tagessummen als Text mit Tabulatoren.");
  EXPECT_EQ(Spoken(window->chart, QAccessible::Description),
            QString::fromUtf8("Keine Balken: kein Tag mit einem Wert über 0.") + copyKey);
  EXPECT_EQ(Spoken(window->statisticsPanel),
            "Statistik: Summe leer, Durchschnitt leer, Anzahl leer");
  QTest::keyClick(window->seriesCategoryBox, Qt::Key_Down);  // chooses "Sport"
  EXPECT_EQ(Spoken(window->chart), "Entwicklung Haushalt, Sport, alle Items, März 2024");
  EXPECT_EQ(Spoken(window->chart, QAccessible::Description), "Balken: 05.03. (Di.) 5,5." + copyKey);
  EXPECT_EQ(Spoken(window->statisticsPanel), "Statistik: Summe 5,5, Durchschnitt 5,5, Anzahl 1");
  QTest::keyClick(window->seriesItemBox, Qt::Key_Down);  // chooses "Joggen"
  EXPECT_EQ(Spoken(window->chart), "Entwicklung Haushalt, Sport, Joggen, März 2024");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window->chart)->role(), QAccessible::Chart);
}

// A platform theme's style that wraps Fusion, and a dark palette: every text whose background
// is fixed keeps a text colour that stands out from it, and no tab caption is shortened.
TEST_F(AppTest, UnderAWrappedFusionStyleAndADarkPaletteTextsStayReadableAndCaptionsWhole) {
  const QString style = QApplication::style()->name();
  const QPalette palette = QApplication::palette();
  QApplication::setStyle(new QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
  QPalette dark(QColor(53, 53, 53));
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::ButtonText, Qt::white);
  QApplication::setPalette(dark);
  {
    MainWindow themed;
    themed.LayOut(QSize(1280, 800));
    themed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&themed));
    for (QWidget* w : themed.frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      SCOPED_TRACE(w->objectName().toStdString());
      const QPalette& p = w->palette();
      const int text = qGray(p.color(w->foregroundRole()).rgb());
      const int background = qGray(p.color(w->backgroundRole()).rgb());
      EXPECT_GT(std::abs(text - background), 100);
    }
    EXPECT_EQ(themed.titleLabel->palette().color(QPalette::WindowText), QColor(0, 0, 0));

    // The tab bar's own option filling, reached through a member pointer (no cast to a type the
    // bar is not).
    struct Peek : QTabBar {
      using QTabBar::initStyleOption;
    };
    void (QTabBar::*initStyleOption)(QStyleOptionTab*, int) const = &Peek::initStyleOption;
    QTabBar* bar = themed.tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
      QStyleOptionTab option;
      (bar->*initStyleOption)(&option, i);  // the caption as it is drawn
      EXPECT_EQ(option.text, bar->tabText(i));
    }
  }
  QApplication::setStyle(style);
  QApplication::setPalette(palette);
}
