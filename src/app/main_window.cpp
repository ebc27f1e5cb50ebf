// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
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
// captions fit in one row on a screen of 1280 pixels width. It wraps a fresh copy of the style
// at the bottom of the application's style: a style that wraps another (as a platform theme's
// does) lets the inner one measure the caption's room with the inner blank, which then no longer
// matches the tab's size and shortens every caption.
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

FrameBox::FrameBox(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {}

void FrameBox::paintEvent(QPaintEvent*) {
  QStyleOptionGroupBox option;
  option.initFrom(this);
  option.text = title_;
  option.lineWidth = 1;
  option.midLineWidth = 0;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  option.textAlignment = Qt::AlignLeft;
  option.textColor =
      QColor::fromRgba(style()->styleHint(QStyle::SH_GroupBox_TextLabelColor, &option, this));
  QStylePainter painter(this);
  painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("Lumivera"));
  QFont base = font();
  base.setPointSizeF(kFontPoints);
  setFont(base);
  CreateControls();
  SetFocusOrder();
  ForwardControlSignals();
  NameControls();
  WatchUndoKeys();
}

void MainWindow::CreateControls() {
  frame = Named(new FrameBox(QStringLiteral("Lumivera ") + QLatin1String(kProgramVersion), this),
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
  const QStyle* innermost = style();
  while (const auto* wrapper = qobject_cast<const QProxyStyle*>(innermost)) {
    if (!wrapper->baseStyle()) break;
    innermost = wrapper->baseStyle();
  }
  auto* tabStripStyle = new TabStripStyle(innermost->name());
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
  // Tab moves on to the next control; the description is one paragraph of free text.
  descriptionBox->setTabChangesFocus(true);
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
  // Keys reach the same events as the mouse: the calendar's keys and Return on a button.
  calendar->installEventFilter(this);
  for (QPushButton* button : {addPersonButton, previousMonthButton, nextMonthButton, saveButton})
    button->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (HandleUndoKey(watched, *event)) return true;
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto& key = static_cast<const QKeyEvent&>(*event);
  if (watched == calendar) return HandleCalendarKey(key);
  if (watched == chart && key.matches(QKeySequence::Copy)) {
    emit ChartCopyPressed();
    return true;
  }
  auto* button = qobject_cast<QPushButton*>(watched);
  const bool plain = (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (button && plain && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
    // A held key clicks once.
    if (!key.isAutoRepeat()) button->click();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::WatchUndoKeys() {
  for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);
}

namespace {
// Ctrl+Z is undo (true), Ctrl+Y and Ctrl+Shift+Z are redo (false); other keys are neither.
std::optional<bool> UndoKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  if (key.key() == Qt::Key_Z && modifiers == Qt::ControlModifier) return true;
  if (key.key() == Qt::Key_Y && modifiers == Qt::ControlModifier) return false;
  if (key.key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
    return false;
  return std::nullopt;
}
}  // namespace

// In the description box and the editable boxes the keys first undo and redo the typing there,
// as long as the box has typing left to undo or redo; then, and everywhere else, they undo and
// redo the last change of the records. The typing is undone here rather than by the box's own
// keys, whose redo key differs between platforms.
bool MainWindow::HandleUndoKey(QObject* watched, QEvent& event) {
  if (event.type() != QEvent::ShortcutOverride && event.type() != QEvent::KeyPress) return false;
  const auto& key = static_cast<const QKeyEvent&>(event);
  const std::optional<bool> undo = UndoKey(key);
  if (!undo) return false;
  // The override says that the key is taken here, so no shortcut of the toolkit takes it.
  if (event.type() == QEvent::ShortcutOverride) {
    event.accept();
    return true;
  }
  QObject* control = watched;
  if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
    if (auto* box = qobject_cast<QComboBox*>(edit->parent())) control = box;
  }
  if (control == descriptionBox || control == descriptionBox->viewport()) {
    const QTextDocument* text = descriptionBox->document();
    if (*undo ? text->isUndoAvailable() : text->isRedoAvailable()) {
      *undo ? descriptionBox->undo() : descriptionBox->redo();
      return true;
    }
  } else if (auto* box = qobject_cast<QComboBox*>(control); box && box->lineEdit()) {
    QLineEdit* edit = box->lineEdit();
    if (*undo ? edit->isUndoAvailable() : edit->isRedoAvailable()) {
      *undo ? edit->undo() : edit->redo();
      return true;
    }
  }
  // A held key undoes once: each undo answers with a message.
  if (key.isAutoRepeat()) return true;
  if (*undo)
    emit UndoPressed();
  else
    emit RedoPressed();
  return true;
}

// Up and Down select the previous and next day, Home and End the first and last day of the
// month shown; Page Up and Page Down step the month as "<" and ">" do.
bool MainWindow::HandleCalendarKey(const QKeyEvent& key) {
  if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  switch (key.key()) {
    case Qt::Key_Up:
      emit CalendarKeyPressed(CalendarKey::PreviousDay);
      return true;
    case Qt::Key_Down:
      emit CalendarKeyPressed(CalendarKey::NextDay);
      return true;
    case Qt::Key_Home:
      emit CalendarKeyPressed(CalendarKey::FirstDay);
      return true;
    case Qt::Key_End:
      emit CalendarKeyPressed(CalendarKey::LastDay);
      return true;
    case Qt::Key_PageUp:
      emit PreviousMonthClicked();
      return true;
    case Qt::Key_PageDown:
      emit NextMonthClicked();
      return true;
    default:
      return false;
  }
}

namespace {
void Name(QWidget* w, const QString& name, const QString& description = QString()) {
  w->setAccessibleName(name);
  if (!description.isEmpty()) w->setAccessibleDescription(description);
}

// A combo box and its parts: the text field and the list that opens.
void NameCombo(QComboBox* box, const QString& name) {
  Name(box, name);
  if (box->lineEdit()) Name(box->lineEdit(), name);
  Name(box->view(), name);
}

// A heading field is named by the heading it shows.
void NameHeading(QLineEdit* heading, const QString& text) {
  Name(heading, text, QStringLiteral("Überschrift"));
}
}  // namespace

// A screen reader hears every control by the heading it stands under, not by the frame's
// caption, which the toolkit would otherwise lend every control without a name of its own.
void MainWindow::NameControls() {
  setAccessibleDescription(
      QStringLiteral("Strg+Z macht die letzte Änderung der Einträge oder Personen rückgängig, "
                     "Strg+Y oder Strg+Umschalt+Z stellt sie wieder her. In der Beschreibung und "
                     "in den Eingabefeldern macht Strg+Z zuerst das Tippen rückgängig."));
  Name(frame, QStringLiteral("Tagebuch"), frame->title());
  Name(tabs, QStringLiteral("Registerkarten"));
  Name(tabs->tabBar(), QStringLiteral("Kategorie"),
       QStringLiteral("Die gewählte Registerkarte ist die Kategorie der Einträge, "
                      "Entwicklung zeigt das Diagramm."));
  if (auto* pages = tabs->findChild<QStackedWidget*>()) Name(pages, QStringLiteral("Seiten"));
  for (int i = 0; i < tabs->count(); ++i) Name(tabs->widget(i), tabs->tabText(i));

  Name(personHeading, QStringLiteral("Auswahl Person"));
  personHeading->setBuddy(personBox);
  NameCombo(personBox, QStringLiteral("Auswahl Person"));
  Name(addPersonButton, QStringLiteral("Hinzufügen"),
       QStringLiteral("Fügt die unter Auswahl Person eingegebene Person hinzu."));
  Name(titleLabel, QStringLiteral("Lumivera"));

  Name(calendar, QStringLiteral("Kalender"));
  calendar->SetUsage(QStringLiteral(
      "Pfeil auf und ab wählen den vorigen und den nächsten Tag, Pos1 und Ende den ersten und "
      "den letzten Tag des Monats, Bild auf und ab zeigen den vorigen und den nächsten Monat."));
  Name(previousMonthButton, QStringLiteral("Voriger Monat"));
  Name(nextMonthButton, QStringLiteral("Nächster Monat"));

  Name(selectedDayField, QStringLiteral("Gewählter Tag"));
  Name(tabCaptionField, QStringLiteral("Gewählte Registerkarte"));
  Name(hintField, QStringLiteral("Hinweis"));
  NameHeading(itemHeading, QStringLiteral("Auswahl"));
  NameCombo(itemBox, QStringLiteral("Auswahl"));
  NameHeading(valueHeading, QStringLiteral("Wert km/€/Zeit/Anzahl"));
  NameCombo(valueBox, QStringLiteral("Wert km/€/Zeit/Anzahl"));
  NameHeading(displayHeading, QStringLiteral("Anzeige"));
  Name(displayList, QStringLiteral("Anzeige"));
  NameHeading(descriptionHeading, QStringLiteral("Beschreibung"));
  Name(descriptionBox, QStringLiteral("Beschreibung"));
  Name(descriptionBox->viewport(), QStringLiteral("Beschreibung"));
  for (QScrollBar* bar :
       {descriptionBox->verticalScrollBar(), descriptionBox->horizontalScrollBar()}) {
    const QString name = bar->orientation() == Qt::Vertical
                             ? QStringLiteral("Bildlaufleiste senkrecht")
                             : QStringLiteral("Bildlaufleiste waagerecht");
    Name(bar, name);
    if (bar->parentWidget() != descriptionBox) Name(bar->parentWidget(), name);
  }
  Name(dayList, QStringLiteral("Einträge des gewählten Tages"),
       QStringLiteral("Entf oder ein Klick auf eine Zeile löscht ihren Eintrag nach einer "
                      "Rückfrage."));
  Name(saveButton, QStringLiteral("Speichern"),
       QStringLiteral("Speichert den Eintrag für den gewählten Tag."));

  NameHeading(seriesCategoryHeading, QStringLiteral("Kategorie"));
  NameCombo(seriesCategoryBox, QStringLiteral("Kategorie"));
  NameHeading(seriesItemHeading, QStringLiteral("Kategorie-Item"));
  NameCombo(seriesItemBox, QStringLiteral("Kategorie-Item"));
  chart->SetAccessibleRole(QAccessible::Chart);
  Name(chart, QStringLiteral("Entwicklung"));
  chart->SetUsage(QStringLiteral(
      "Strg+C kopiert das Diagramm als Bild und seine Tagessummen als Text mit Tabulatoren."));
  Name(statisticsPanel, QStringLiteral("Statistik"));
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
       {white, black, true, false, QStringLiteral(" Lumivera")}},
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
