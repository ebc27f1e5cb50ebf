// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <cmath>
#include <optional>
#include <utility>

#include "app/list_box.h"
#include "app/picture_box.h"
#include "app/program_info.h"
#include "dayview/day_list.h"
#include "dayview/tab_page.h"
#include "store/changes.h"
#include "surface/drawing_surface.h"

namespace {

constexpr double kFontPoints = 8.25;

// Where a control stands, as fractions of the frame's width W and height H. A negative height
// leaves the toolkit's height; `heightOfWidth` takes the height as a fraction of W.
struct Place {
  double left, top, width, height;
  bool heightOfWidth = false;
};

// What the start-up sets on a control besides its place.
struct Look {
  std::optional<QColor> background;
  std::optional<QColor> text;
  bool tahoma = false;
  bool bold = false;
  std::optional<QString> caption;
};

void Put(QWidget* w, const Place& p, double W, double H) {
  const int left = static_cast<int>(std::lround(p.left * W));
  const int top = static_cast<int>(std::lround(p.top * H));
  const int width = static_cast<int>(std::lround(p.width * W));
  int height = w->height();
  if (p.height >= 0)
    height = static_cast<int>(std::lround(p.height * (p.heightOfWidth ? W : H)));
  else
    height = w->sizeHint().height();
  w->setGeometry(left, top, width, height);
}

void SetCaption(QWidget* w, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(w))
    label->setText(text);
  else if (auto* line = qobject_cast<QLineEdit*>(w))
    line->setText(text);
  else if (auto* combo = qobject_cast<QComboBox*>(w))
    combo->setEditText(text);
  else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
    plain->setPlainText(text);
}

void Style(QWidget* w, const Look& look) {
  QPalette palette = w->palette();
  const bool isLabel = qobject_cast<QLabel*>(w) != nullptr;
  if (look.background) {
    palette.setColor(isLabel ? QPalette::Window : QPalette::Base, *look.background);
    if (isLabel) w->setAutoFillBackground(true);
  }
  if (look.text) palette.setColor(isLabel ? QPalette::WindowText : QPalette::Text, *look.text);
  w->setPalette(palette);
  if (look.tahoma || look.bold) {
    QFont font = w->font();
    if (look.tahoma) font.setFamily(kFontName);
    font.setBold(look.bold);
    w->setFont(font);
  }
  if (look.caption) SetCaption(w, *look.caption);
}

QLineEdit* NewText(QWidget* parent, const QString& name) {
  auto* t = new QLineEdit(QStringLiteral("Text1"), parent);
  t->setObjectName(name);
  return t;
}

ChoiceBox* NewCombo(QWidget* parent, const QString& name, const QString& startText) {
  auto* c = new ChoiceBox(parent);
  c->setObjectName(name);
  c->setMaxVisibleItems(20);
  c->setEditText(startText);
  return c;
}

// The tab strip's style with half the usual blank beside each caption, so that the eight
// captions fit in one row on a screen of 1280 pixels width.
class TabStripStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    return metric == PM_TabBarTabHSpace ? value / 2 : value;
  }
};

template <typename T>
T* Named(T* w, const QString& name) {
  w->setObjectName(name);
  return w;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("Lumivera"));
  QFont base = font();
  base.setPointSizeF(kFontPoints);
  setFont(base);
  CreateControls();
  SetFocusOrder();
  ForwardControlSignals();
}

void MainWindow::CreateControls() {
  frame = Named(new QGroupBox(QStringLiteral("Lumivera ") + QLatin1String(kProgramVersion), this),
                QStringLiteral("frame"));
  QFont frameFont(kFontName);
  frameFont.setPointSizeF(kFontPoints);
  frame->setFont(frameFont);
  QWidget* f = frame;

  tabs = Named(new QTabWidget(f), QStringLiteral("tabs"));
  for (const char16_t* caption : kTabCaptions)
    tabs->addTab(new QWidget, QString::fromUtf16(caption));
  tabs->setCurrentIndex(0);
  // Every tab stays in the one row: no scroll arrows, captions shortened only where the strip is
  // too narrow for them all.
  auto* tabStripStyle = new TabStripStyle(style()->name());
  tabStripStyle->setParent(tabs->tabBar());
  tabs->tabBar()->setStyle(tabStripStyle);
  tabs->tabBar()->setUsesScrollButtons(false);
  tabs->tabBar()->setElideMode(Qt::ElideRight);

  personHeading = Named(new QLabel(QStringLiteral("Label1"), f), QStringLiteral("personHeading"));
  personBox = NewCombo(f, QStringLiteral("personBox"), kComboStartText + u'3');
  addPersonButton =
      Named(new QPushButton(QStringLiteral("Hinzufügen"), f), QStringLiteral("addPersonButton"));
  titleLabel = Named(new QLabel(QStringLiteral("Label2"), f), QStringLiteral("titleLabel"));
  creditLabel = Named(new QLabel(QStringLiteral("Label3"), f), QStringLiteral("creditLabel"));
  calendar = Named(new PictureBox(f), QStringLiteral("calendar"));
  previousMonthButton =
      Named(new QPushButton(QStringLiteral("<"), f), QStringLiteral("previousMonthButton"));
  nextMonthButton =
      Named(new QPushButton(QStringLiteral(">"), f), QStringLiteral("nextMonthButton"));
  selectedDayField = NewText(f, QStringLiteral("selectedDayField"));
  tabCaptionField = NewText(f, QStringLiteral("tabCaptionField"));
  hintField = NewText(f, QStringLiteral("hintField"));
  itemHeading = NewText(f, QStringLiteral("itemHeading"));
  itemBox = NewCombo(f, QStringLiteral("itemBox"), kComboStartText + u'1');
  valueHeading = NewText(f, QStringLiteral("valueHeading"));
  valueBox = NewCombo(f, QStringLiteral("valueBox"), kComboStartText + u'2');
  displayHeading = NewText(f, QStringLiteral("displayHeading"));
  displayList = Named(new ListBox(f), QStringLiteral("displayList"));
  descriptionHeading = NewText(f, QStringLiteral("descriptionHeading"));
  descriptionBox =
      Named(new QPlainTextEdit(QStringLiteral("Text3"), f), QStringLiteral("descriptionBox"));
  descriptionBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  dayList = Named(new ListBox(f), QStringLiteral("dayList"));
  saveButton = Named(new QPushButton(QStringLiteral("Speichern"), f), QStringLiteral("saveButton"));
  seriesCategoryHeading = NewText(f, QStringLiteral("seriesCategoryHeading"));
  seriesCategoryBox = NewCombo(f, QStringLiteral("seriesCategoryBox"), kComboStartText + u'4');
  seriesItemHeading = NewText(f, QStringLiteral("seriesItemHeading"));
  seriesItemBox = NewCombo(f, QStringLiteral("seriesItemBox"), kComboStartText + u'5');
  chart = Named(new PictureBox(f), QStringLiteral("chart"));
  statisticsPanel = Named(new PictureBox(f), QStringLiteral("statisticsPanel"));

  // The tab strip lies behind every other control of the frame.
  tabs->lower();
}

void MainWindow::SetFocusOrder() {
  // Focus order by number; labels take no focus.
  const QList<QWidget*> order = {calendar,
                                 previousMonthButton,
                                 nextMonthButton,
                                 tabs,
                                 selectedDayField,
                                 tabCaptionField,
                                 itemBox,
                                 saveButton,
                                 dayList,
                                 valueBox,
                                 displayList,
                                 descriptionBox,
                                 itemHeading,
                                 valueHeading,
                                 displayHeading,
                                 descriptionHeading,
                                 personBox,
                                 addPersonButton,
                                 seriesCategoryHeading,
                                 seriesCategoryBox,
                                 seriesItemHeading,
                                 seriesItemBox,
                                 chart,
                                 hintField,
                                 statisticsPanel};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void MainWindow::ForwardControlSignals() {
  connect(personBox, &ChoiceBox::Chosen, this, &MainWindow::PersonChosen);
  connect(seriesCategoryBox, &ChoiceBox::Chosen, this, &MainWindow::SeriesCategoryChosen);
  connect(seriesItemBox, &ChoiceBox::Chosen, this, &MainWindow::SeriesItemChosen);
  connect(previousMonthButton, &QPushButton::clicked, this, &MainWindow::PreviousMonthClicked);
  connect(nextMonthButton, &QPushButton::clicked, this, &MainWindow::NextMonthClicked);
  connect(saveButton, &QPushButton::clicked, this, &MainWindow::SaveClicked);
  connect(addPersonButton, &QPushButton::clicked, this, &MainWindow::AddPersonClicked);
  connect(dayList, &ListBox::Pressed, this, &MainWindow::DayListPressed);
  connect(calendar, &PictureBox::Pressed, this, &MainWindow::CalendarPressed);
  // A click on another tab (mouse or keyboard) changes the current tab; a click on the tab that
  // is already selected is a click all the same.
  connect(tabs, &QTabWidget::currentChanged, this, &MainWindow::TabClicked);
  connect(tabs, &QTabWidget::tabBarClicked, this, [this](int index) {
    if (index == tabs->currentIndex()) emit TabClicked();
  });
}

void MainWindow::FitOuterSize() {
  if (outerSize_.isEmpty() || !isVisible()) return;
  const QSize margins = frameGeometry().size() - size();
  if (margins.isNull()) return;
  resize(std::exchange(outerSize_, QSize()) - margins);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitOuterSize();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FitOuterSize();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitOuterSize();
}

QString MainWindow::SelectedTabCaption() const {
  return tabs->tabText(tabs->currentIndex());
}

void MainWindow::SelectTab(int index) {
  if (index == tabs->currentIndex())
    emit TabClicked();
  else
    tabs->setCurrentIndex(index);
}

QList<QWidget*> MainWindow::EditorPage() const {
  return {selectedDayField, tabCaptionField, hintField,      itemHeading, itemBox,
          valueHeading,     valueBox,        displayHeading, displayList, descriptionHeading,
          descriptionBox,   dayList,         saveButton};
}

QList<QWidget*> MainWindow::ChartPage() const {
  return {seriesCategoryHeading, seriesCategoryBox, seriesItemHeading, seriesItemBox, chart,
          statisticsPanel};
}

void MainWindow::LayOut(QSize screen) {
  // 1. The window at 90 % of the screen, its frame included where the frame is known already.
  outerSize_ = QSize(static_cast<int>(std::lround(0.9 * screen.width())),
                     static_cast<int>(std::lround(0.9 * screen.height())));
  resize(outerSize_ - (frameGeometry().size() - size()));
  // 2. The frame at its fractions of the window as read back.
  const double Wf = width(), Hf = height();
  frame->setGeometry(
      static_cast<int>(std::lround(0.01 * Wf)), static_cast<int>(std::lround(0.01 * Hf)),
      static_cast<int>(std::lround(0.95 * Wf)), static_cast<int>(std::lround(0.9 * Hf)));
  // 3. The frame's size read back.
  const double W = frame->width(), H = frame->height();

  const QColor blue(0, 0, 255), white(255, 255, 255), black(0, 0, 0), yellow(255, 255, 0),
      green(0, 255, 0);
  const Look caption{blue, white, true, true, std::nullopt};
  const auto captioned = [&](const QString& text) {
    Look look = caption;
    look.caption = text;
    return look;
  };
  constexpr double kNone = -1;

  // 4. Every control in order: place, then colours, font and text.
  const struct {
    QWidget* control;
    Place place;
    Look look;
  } rows[] = {
      {personHeading,
       {0.02, 0.03, 0.2, 0.03},
       {blue, white, true, true, QStringLiteral(" Auswahl Person")}},
      {personBox, {0.02, 0.06, 0.2, kNone}, {std::nullopt, std::nullopt, true, true, std::nullopt}},
      {addPersonButton, {0.23, 0.04, 0.1, 0.04}, {}},
      {calendar, {0.02, 0.1, 0.4, 0.8}, {}},
      {previousMonthButton, {0.02, 0.91, 0.1, 0.04, true}, {}},
      {nextMonthButton, {0.13, 0.91, 0.1, 0.04, true}, {}},
      {titleLabel,
       {0.46, 0.03, 0.2, 0.025},
       {white, std::nullopt, true, false, QStringLiteral(" Lumivera")}},
      {creditLabel,
       {0.46, 0.06, 0.4, 0.04},
       {std::nullopt, std::nullopt, true, false,
        QStringLiteral("Ein Tagebuch für Sport, Essen, Ausgaben und alles, was zählt.")}},
      {tabs, {0.45, 0.1, 0.5, 0.85}, {}},
      {selectedDayField, {0.46, 0.2, 0.2, 0.03}, {yellow, black, true, true, std::nullopt}},
      {tabCaptionField, {0.67, 0.2, 0.2, 0.03}, {green, black, true, true, std::nullopt}},
      {hintField,
       {0.46, 0.26, 0.41, 0.03},
       {white, black, true, true, QStringLiteral("neue Auswahl einfach hinzufügen und Speichern")}},
      {itemHeading, {0.46, 0.3, 0.2, 0.03}, captioned(QStringLiteral("Auswahl"))},
      {itemBox, {0.46, 0.34, 0.2, kNone}, {std::nullopt, std::nullopt, false, false, QString()}},
      {valueHeading, {0.46, 0.4, 0.2, 0.03}, captioned(QStringLiteral("Wert km/€/Zeit/Anzahl"))},
      {valueBox,
       {0.46, 0.44, 0.2, kNone},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("0")}},
      {displayHeading, {0.46, 0.5, 0.2, 0.03}, captioned(QStringLiteral("Anzeige"))},
      {displayList, {0.46, 0.54, 0.2, 0.03}, {}},
      {descriptionHeading, {0.67, 0.3, 0.2, 0.03}, captioned(QStringLiteral("Beschreibung"))},
      {descriptionBox,
       {0.67, 0.34, 0.2, 0.23},
       {std::nullopt, std::nullopt, false, false, kDescriptionPlaceholder}},
      {dayList, {0.46, 0.6, 0.45, 0.2}, {std::nullopt, std::nullopt, true, false, std::nullopt}},
      {saveButton, {0.8, 0.81, 0.1, 0.05}, {}},
      {seriesCategoryHeading, {0.46, 0.2, 0.2, 0.03}, captioned(QStringLiteral("Kategorie"))},
      {seriesCategoryBox,
       {0.46, 0.24, 0.2, kNone},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("0")}},
      {seriesItemHeading, {0.67, 0.2, 0.2, 0.03}, captioned(QStringLiteral("Kategorie-Item"))},
      {seriesItemBox,
       {0.67, 0.24, 0.2, kNone},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("0")}},
      {chart, {0.46, 0.3, 0.45, 0.4}, {}},
      {statisticsPanel, {0.46, 0.71, 0.45, 0.2}, {}},
  };
  for (const auto& row : rows) {
    Put(row.control, row.place, W, H);
    Style(row.control, row.look);
  }

  // 5. The start visibility: the editor page shown, the chart page hidden.
  for (QWidget* w : EditorPage()) w->show();
  for (QWidget* w : ChartPage()) w->hide();
}
