// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>

#include "app/list_box.h"
#include "app/picture_box.h"
#include "app_fixture.h"

namespace {

// Every control's place as fractions of the frame; a negative height is the toolkit's own.
struct Expected {
  const char* name;
  double left, top, width, height;
  bool heightOfWidth = false;
};

const Expected kPlaces[] = {
    {"personHeading", 0.02, 0.03, 0.2, 0.03},
    {"personBox", 0.02, 0.06, 0.2, -1},
    {"addPersonButton", 0.23, 0.04, 0.1, 0.04},
    {"calendar", 0.02, 0.1, 0.4, 0.8},
    {"previousMonthButton", 0.02, 0.91, 0.1, 0.04, true},
    {"nextMonthButton", 0.13, 0.91, 0.1, 0.04, true},
    {"titleLabel", 0.46, 0.03, 0.2, 0.025},
    {"creditLabel", 0.46, 0.06, 0.4, 0.04},
    {"tabs", 0.45, 0.1, 0.5, 0.85},
    {"selectedDayField", 0.46, 0.2, 0.2, 0.03},
    {"tabCaptionField", 0.67, 0.2, 0.2, 0.03},
    {"hintField", 0.46, 0.26, 0.41, 0.03},
    {"itemHeading", 0.46, 0.3, 0.2, 0.03},
    {"itemBox", 0.46, 0.34, 0.2, -1},
    {"valueHeading", 0.46, 0.4, 0.2, 0.03},
    {"valueBox", 0.46, 0.44, 0.2, -1},
    {"displayHeading", 0.46, 0.5, 0.2, 0.03},
    {"displayList", 0.46, 0.54, 0.2, 0.03},
    {"descriptionHeading", 0.67, 0.3, 0.2, 0.03},
    {"descriptionBox", 0.67, 0.34, 0.2, 0.23},
    {"dayList", 0.46, 0.6, 0.45, 0.2},
    {"saveButton", 0.8, 0.81, 0.1, 0.05},
    {"seriesCategoryHeading", 0.46, 0.2, 0.2, 0.03},
    {"seriesCategoryBox", 0.46, 0.24, 0.2, -1},
    {"seriesItemHeading", 0.67, 0.2, 0.2, 0.03},
    {"seriesItemBox", 0.67, 0.24, 0.2, -1},
    {"chart", 0.46, 0.3, 0.45, 0.4},
    {"statisticsPanel", 0.46, 0.71, 0.45, 0.2},
};

QColor Background(QWidget* w) {
  return w->palette().color(qobject_cast<QLabel*>(w) ? QPalette::Window : QPalette::Base);
}
QColor Foreground(QWidget* w) {
  return w->palette().color(qobject_cast<QLabel*>(w) ? QPalette::WindowText : QPalette::Text);
}

}  // namespace

TEST_F(AppTest, WindowAndEveryControlStandAtTheirFractions) {
  for (QSize screen : {QSize(1920, 1080), QSize(1280, 1024)}) {
    SCOPED_TRACE(screen.width());
    window->LayOut(screen);
    EXPECT_NEAR(window->width(), 0.9 * screen.width(), 1);
    EXPECT_NEAR(window->height(), 0.9 * screen.height(), 1);
    const QRect frame = window->frame->geometry();
    EXPECT_NEAR(frame.x(), 0.01 * window->width(), 1);
    EXPECT_NEAR(frame.y(), 0.01 * window->height(), 1);
    EXPECT_NEAR(frame.width(), 0.95 * window->width(), 1);
    EXPECT_NEAR(frame.height(), 0.9 * window->height(), 1);
    const double W = frame.width(), H = frame.height();
    for (const Expected& e : kPlaces) {
      SCOPED_TRACE(e.name);
      auto* w = window->frame->findChild<QWidget*>(QString::fromUtf8(e.name));
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->parentWidget(), window->frame);
      EXPECT_NEAR(w->x(), e.left * W, 1);
      EXPECT_NEAR(w->y(), e.top * H, 1);
      EXPECT_NEAR(w->width(), e.width * W, 1);
      if (e.height >= 0) {
        EXPECT_NEAR(w->height(), e.height * (e.heightOfWidth ? W : H), 1);
      }
    }
  }
  // On a wide screen the month buttons, sized from the width, are taller than "Hinzufügen".
  EXPECT_GT(window->previousMonthButton->height(), window->addPersonButton->height());
}

TEST_F(AppTest, StartShowsTheEditorPageWithTextsAndColoursAsSet) {
  StartUp();
  for (QWidget* w : window->EditorPage())
    EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
  for (QWidget* w : window->ChartPage())
    EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();

  EXPECT_EQ(window->windowTitle(), "Lumivera");
  EXPECT_EQ(window->frame->title(), "Lumivera 1.0");
  EXPECT_EQ(window->personHeading->text(), " Auswahl Person");
  EXPECT_EQ(window->titleLabel->text(), " Lumivera");
  EXPECT_FALSE(window->creditLabel->text().isEmpty());
  EXPECT_EQ(window->tabCaptionField->text(), "Text1");
  EXPECT_EQ(window->hintField->text(),
            QString::fromUtf8("neue Auswahl einfach hinzufügen und Speichern"));
  EXPECT_EQ(window->valueHeading->text(), QString::fromUtf8("Wert km/€/Zeit/Anzahl"));
  EXPECT_EQ(window->seriesCategoryHeading->text(), "Kategorie");
  EXPECT_EQ(window->seriesItemHeading->text(), "Kategorie-Item");
  EXPECT_EQ(window->itemBox->currentText(), "");
  EXPECT_EQ(window->itemBox->count(), 0);
  EXPECT_EQ(window->valueBox->currentText(), "0");
  EXPECT_EQ(window->valueBox->count(), 0);
  EXPECT_EQ(window->seriesCategoryBox->currentText(), "0");
  EXPECT_EQ(window->seriesItemBox->currentText(), "0");
  EXPECT_EQ(window->descriptionBox->toPlainText(), "[Beschreibung]");
  EXPECT_EQ(window->previousMonthButton->text(), "<");
  EXPECT_EQ(window->nextMonthButton->text(), ">");
  EXPECT_EQ(window->saveButton->text(), "Speichern");
  EXPECT_EQ(window->addPersonButton->text(), QString::fromUtf8("Hinzufügen"));

  EXPECT_EQ(Background(window->personHeading), QColor(0, 0, 255));
  EXPECT_EQ(Foreground(window->personHeading), QColor(255, 255, 255));
  EXPECT_EQ(Background(window->titleLabel), QColor(255, 255, 255));
  EXPECT_EQ(Background(window->selectedDayField), QColor(255, 255, 0));
  EXPECT_EQ(Background(window->tabCaptionField), QColor(0, 255, 0));
  EXPECT_EQ(Background(window->seriesCategoryHeading), QColor(0, 0, 255));
  EXPECT_EQ(Foreground(window->seriesCategoryHeading), QColor(255, 255, 255));
  for (QWidget* w :
       {static_cast<QWidget*>(window->personHeading), static_cast<QWidget*>(window->personBox),
        static_cast<QWidget*>(window->selectedDayField),
        static_cast<QWidget*>(window->descriptionHeading)}) {
    EXPECT_EQ(w->font().family(), "Tahoma");
    EXPECT_TRUE(w->font().bold());
    EXPECT_DOUBLE_EQ(w->font().pointSizeF(), 8.25);
  }
  EXPECT_EQ(window->dayList->font().family(), "Tahoma");
  EXPECT_FALSE(window->dayList->font().bold());
}

TEST_F(AppTest, TabsFocusOrderAndStacking) {
  StartUp();
  ASSERT_EQ(window->tabs->count(), 8);
  QStringList captions;
  for (int i = 0; i < 8; ++i) captions << window->tabs->tabText(i);
  EXPECT_EQ(captions.join(u'|'), QString::fromUtf8("Allgemein|persönliches|Essen/Trinken|Sport|"
                                                   "Aktivitäten|Rezepte|Ausgaben|Entwicklung"));
  EXPECT_EQ(window->SelectedTabCaption(), "Allgemein");
  // The tab strip lies behind every other control of the frame.
  EXPECT_EQ(window->frame->children().indexOf(window->tabs), 0);
  const QList<QWidget*> order = {
      window->calendar,         window->previousMonthButton, window->nextMonthButton, window->tabs,
      window->selectedDayField, window->tabCaptionField,     window->itemBox};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) {
    QWidget* next = order[i]->nextInFocusChain();
    while (order[i]->isAncestorOf(next)) next = next->nextInFocusChain();  // inner parts
    EXPECT_TRUE(next == order[i + 1] || order[i + 1]->isAncestorOf(next))
        << order[i]->objectName().toStdString();
  }
  EXPECT_EQ(window->personHeading->focusPolicy(), Qt::NoFocus);
}

TEST_F(AppTest, PictureBoxDrawsInTwipsAndKeepsItsPicture) {
  StartUp();
  PictureBox* p = window->chart;  // hidden: drawing still lands in its picture
  const float tw = 1.0f / static_cast<float>(p->PixelsPerTwipX());
  p->Clear();
  p->FillRect(10 * tw, 10 * tw, 20 * tw, 10 * tw, Rgb{0, 255, 0});  // a one-pixel line
  p->OutlineRect(30 * tw, 30 * tw, 40 * tw, 40 * tw);
  p->FillRect(p->Width() - 5 * tw, 0, p->Width() + 1000 * tw, 5 * tw, Rgb{255, 0, 0});  // clipped
  const QImage& img = p->Picture();
  EXPECT_EQ(img.pixelColor(10, 10), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(20, 10), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(15, 11), QColor(255, 255, 255));
  EXPECT_EQ(img.pixelColor(30, 35), QColor(0, 0, 0));
  EXPECT_EQ(img.pixelColor(40, 35), QColor(0, 0, 0));
  EXPECT_EQ(img.pixelColor(35, 35), QColor(255, 255, 255));
  EXPECT_EQ(img.pixelColor(img.width() - 1, 2), QColor(255, 0, 0));
  // Corners in any order: bottom-right first paints the same pixels, edges included.
  p->FillRect(60 * tw, 20 * tw, 50 * tw, 14 * tw, Rgb{0, 0, 255});
  p->OutlineRect(80 * tw, 80 * tw, 70 * tw, 70 * tw);
  EXPECT_EQ(img.pixelColor(50, 14), QColor(0, 0, 255));
  EXPECT_EQ(img.pixelColor(60, 20), QColor(0, 0, 255));
  EXPECT_EQ(img.pixelColor(70, 75), QColor(0, 0, 0));
  EXPECT_EQ(img.pixelColor(80, 75), QColor(0, 0, 0));
  EXPECT_EQ(img.pixelColor(75, 80), QColor(0, 0, 0));

  // Text state lasts: white text stays white for the next print.
  p->SetTextColor(colors::kWhite);
  p->SetFontName("Tahoma");
  p->SetFontSize(8);
  p->FillRect(0, 60 * tw, 200 * tw, 90 * tw, Rgb{0, 0, 0});
  p->SetTextPosition(2 * tw, 62 * tw);
  p->Print("MMMM");
  EXPECT_EQ(p->TextColor(), colors::kWhite);
  bool anyWhite = false;
  for (int x = 0; x < 60; ++x)
    for (int y = 60; y < 90; ++y) anyWhite |= img.pixelColor(x, y) == QColor(255, 255, 255);
  EXPECT_TRUE(anyWhite);
}

// From 1280 logical pixels wide (2560 x 1440 at a scale factor of 2 is 1280 x 720) all eight
// captions stand whole in one row; on a narrower screen they may shorten, but every tab stays.
TEST_F(AppTest, AllEightTabsStandInOneRowOnCommonScreens) {
  StartUp();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  for (QSize screen :
       {QSize(1280, 800), QSize(1366, 768), QSize(1440, 900), QSize(1280, 720), QSize(1024, 768)}) {
    SCOPED_TRACE(screen.width() * 10000 + screen.height());
    window->LayOut(screen);
    QApplication::processEvents();
    const QTabBar* bar = window->tabs->tabBar();
    ASSERT_EQ(bar->count(), 8);
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>())
      EXPECT_FALSE(arrow->isVisible());
    if (screen.width() >= 1280) {
      EXPECT_LE(bar->sizeHint().width(), window->tabs->width());  // no caption needs shortening
    }
    const QFontMetrics metrics(bar->font());
    for (int i = 0; i < 8; ++i) {
      SCOPED_TRACE(i);
      const QRect tab = bar->tabRect(i);
      EXPECT_TRUE(bar->rect().contains(tab));
      if (screen.width() >= 1280) {
        EXPECT_LT(metrics.horizontalAdvance(bar->tabText(i)), tab.width());
      }
    }
  }
}
