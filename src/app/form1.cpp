#include "app/form1.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <cmath>
#include <optional>

#include "app/list_box.h"
#include "app/picture_box.h"

const char16_t* const kTabCaptions[8] = {u"Allgemein", u"persönliches", u"Essen/Trinken",
                                         u"Sport",     u"Aktivitäten",  u"Rezepte",
                                         u"Ausgaben",  u"Entwicklung"};

namespace {

const QString kFontName = QStringLiteral("Tahoma");
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

QComboBox* NewCombo(QWidget* parent, const QString& name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  c->setMaxVisibleItems(20);
  c->setEditText(name);
  return c;
}

template <typename T>
T* Named(T* w, const QString& name) {
  w->setObjectName(name);
  return w;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Lumivera"));
  QFont base = font();
  base.setPointSizeF(kFontPoints);
  setFont(base);
  CreateControls();
  SetFocusOrder();
  ConnectEvents();
}

void Form1::CreateControls() {
  Frame1 = Named(new QGroupBox(QStringLiteral("Lumivera 1.0"), this), QStringLiteral("Frame1"));
  QFont frameFont(kFontName);
  frameFont.setPointSizeF(kFontPoints);
  Frame1->setFont(frameFont);
  QWidget* f = Frame1;

  TabStrip1 = Named(new QTabWidget(f), QStringLiteral("TabStrip1"));
  for (const char16_t* caption : kTabCaptions)
    TabStrip1->addTab(new QWidget, QString::fromUtf16(caption));
  TabStrip1->setCurrentIndex(0);

  Label1 = Named(new QLabel(QStringLiteral("Label1"), f), QStringLiteral("Label1"));
  Combo3 = NewCombo(f, QStringLiteral("Combo3"));
  Command4 = Named(new QPushButton(QStringLiteral("Hinzufügen"), f), QStringLiteral("Command4"));
  Label2 = Named(new QLabel(QStringLiteral("Label2"), f), QStringLiteral("Label2"));
  Label3 = Named(new QLabel(QStringLiteral("Label3"), f), QStringLiteral("Label3"));
  Picture1 = Named(new PictureBox(f), QStringLiteral("Picture1"));
  Command1 = Named(new QPushButton(QStringLiteral("<"), f), QStringLiteral("Command1"));
  Command2 = Named(new QPushButton(QStringLiteral(">"), f), QStringLiteral("Command2"));
  Text1 = NewText(f, QStringLiteral("Text1"));
  Text2 = NewText(f, QStringLiteral("Text2"));
  Text10 = NewText(f, QStringLiteral("Text10"));
  Text4 = NewText(f, QStringLiteral("Text4"));
  Combo1 = NewCombo(f, QStringLiteral("Combo1"));
  Text5 = NewText(f, QStringLiteral("Text5"));
  Combo2 = NewCombo(f, QStringLiteral("Combo2"));
  Text6 = NewText(f, QStringLiteral("Text6"));
  List3 = Named(new ListBox(f), QStringLiteral("List3"));
  Text7 = NewText(f, QStringLiteral("Text7"));
  Text3 = Named(new QPlainTextEdit(QStringLiteral("Text3"), f), QStringLiteral("Text3"));
  Text3->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  List1 = Named(new ListBox(f), QStringLiteral("List1"));
  Command3 = Named(new QPushButton(QStringLiteral("Speichern"), f), QStringLiteral("Command3"));
  Text8 = NewText(f, QStringLiteral("Text8"));
  Combo4 = NewCombo(f, QStringLiteral("Combo4"));
  Text9 = NewText(f, QStringLiteral("Text9"));
  Combo5 = NewCombo(f, QStringLiteral("Combo5"));
  Picture2 = Named(new PictureBox(f), QStringLiteral("Picture2"));
  Picture3 = Named(new PictureBox(f), QStringLiteral("Picture3"));

  // The tab strip lies behind every other control of the frame.
  TabStrip1->lower();
}

void Form1::SetFocusOrder() {
  // Focus order by number; labels take no focus.
  const QList<QWidget*> order = {Picture1, Command1, Command2, TabStrip1, Text1, Text2,  Combo1,
                                 Command3, List1,    Combo2,   List3,     Text3, Text4,  Text5,
                                 Text6,    Text7,    Combo3,   Command4,  Text8, Combo4, Text9,
                                 Combo5,   Picture2, Text10,   Picture3};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void Form1::ConnectEvents() {
  connect(Combo3, &QComboBox::activated, this, &Form1::Combo3Chosen);
  connect(Combo4, &QComboBox::activated, this, &Form1::Combo4Chosen);
  connect(Combo5, &QComboBox::activated, this, &Form1::Combo5Chosen);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1Clicked);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2Clicked);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3Clicked);
  connect(Command4, &QPushButton::clicked, this, &Form1::Command4Clicked);
  connect(List1, &ListBox::Pressed, this, &Form1::List1Pressed);
  connect(Picture1, &PictureBox::Pressed, this, &Form1::Picture1Pressed);
  // A click on another tab (mouse or keyboard) changes the current tab; a click on the tab that
  // is already selected is a click all the same.
  connect(TabStrip1, &QTabWidget::currentChanged, this, &Form1::TabStrip1Clicked);
  connect(TabStrip1, &QTabWidget::tabBarClicked, this, [this](int index) {
    if (index == TabStrip1->currentIndex()) emit TabStrip1Clicked();
  });
}

QString Form1::SelectedTabCaption() const {
  return TabStrip1->tabText(TabStrip1->currentIndex());
}

void Form1::SelectTab(int index) {
  if (index == TabStrip1->currentIndex())
    emit TabStrip1Clicked();
  else
    TabStrip1->setCurrentIndex(index);
}

QList<QWidget*> Form1::EditorPage() const {
  return {Text1, Text2, Text10, Text4, Combo1, Text5,   Combo2,
          Text6, List3, Text7,  Text3, List1,  Command3};
}

QList<QWidget*> Form1::ChartPage() const {
  return {Text8, Combo4, Text9, Combo5, Picture2, Picture3};
}

void Form1::LayOut(QSize screen) {
  // 1. The window at 90 % of the screen.
  resize(static_cast<int>(std::lround(0.9 * screen.width())),
         static_cast<int>(std::lround(0.9 * screen.height())));
  // 2. The frame at its fractions of the window as read back.
  const double Wf = width(), Hf = height();
  Frame1->setGeometry(
      static_cast<int>(std::lround(0.01 * Wf)), static_cast<int>(std::lround(0.01 * Hf)),
      static_cast<int>(std::lround(0.95 * Wf)), static_cast<int>(std::lround(0.9 * Hf)));
  // 3. The frame's size read back.
  const double W = Frame1->width(), H = Frame1->height();

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
      {Label1,
       {0.02, 0.03, 0.2, 0.03},
       {blue, white, true, true, QStringLiteral(" Auswahl Person")}},
      {Combo3, {0.02, 0.06, 0.2, kNone}, {std::nullopt, std::nullopt, true, true, std::nullopt}},
      {Command4, {0.23, 0.04, 0.1, 0.04}, {}},
      {Picture1, {0.02, 0.1, 0.4, 0.8}, {}},
      {Command1, {0.02, 0.91, 0.1, 0.04, true}, {}},
      {Command2, {0.13, 0.91, 0.1, 0.04, true}, {}},
      {Label2,
       {0.46, 0.03, 0.2, 0.025},
       {white, std::nullopt, true, false, QStringLiteral(" Lumivera")}},
      {Label3,
       {0.46, 0.06, 0.4, 0.04},
       {std::nullopt, std::nullopt, true, false,
        QStringLiteral("Ein Tagebuch für Sport, Essen, Ausgaben und alles, was zählt.")}},
      {TabStrip1, {0.45, 0.1, 0.5, 0.85}, {}},
      {Text1, {0.46, 0.2, 0.2, 0.03}, {yellow, black, true, true, std::nullopt}},
      {Text2, {0.67, 0.2, 0.2, 0.03}, {green, black, true, true, std::nullopt}},
      {Text10,
       {0.46, 0.26, 0.41, 0.03},
       {white, black, true, true, QStringLiteral("neue Auswahl einfach hinzufügen und Speichern")}},
      {Text4, {0.46, 0.3, 0.2, 0.03}, captioned(QStringLiteral("Auswahl"))},
      {Combo1, {0.46, 0.34, 0.2, kNone}, {std::nullopt, std::nullopt, false, false, QString()}},
      {Text5, {0.46, 0.4, 0.2, 0.03}, captioned(QStringLiteral("Wert km/€/Zeit/Anzahl"))},
      {Combo2,
       {0.46, 0.44, 0.2, kNone},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("0")}},
      {Text6, {0.46, 0.5, 0.2, 0.03}, captioned(QStringLiteral("Anzeige"))},
      {List3, {0.46, 0.54, 0.2, 0.03}, {}},
      {Text7, {0.67, 0.3, 0.2, 0.03}, captioned(QStringLiteral("Beschreibung"))},
      {Text3,
       {0.67, 0.34, 0.2, 0.23},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("[Beschreibung]")}},
      {List1, {0.46, 0.6, 0.45, 0.2}, {std::nullopt, std::nullopt, true, false, std::nullopt}},
      {Command3, {0.8, 0.81, 0.1, 0.05}, {}},
      {Text8, {0.46, 0.2, 0.2, 0.03}, captioned(QStringLiteral("Kategorie"))},
      {Combo4,
       {0.46, 0.24, 0.2, kNone},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("0")}},
      {Text9, {0.67, 0.2, 0.2, 0.03}, captioned(QStringLiteral("Kategorie-Item"))},
      {Combo5,
       {0.67, 0.24, 0.2, kNone},
       {std::nullopt, std::nullopt, false, false, QStringLiteral("0")}},
      {Picture2, {0.46, 0.3, 0.45, 0.4}, {}},
      {Picture3, {0.46, 0.71, 0.45, 0.2}, {}},
  };
  for (const auto& row : rows) {
    Put(row.control, row.place, W, H);
    Style(row.control, row.look);
  }

  // 5. The start visibility: the editor page shown, the chart page hidden.
  for (QWidget* w : EditorPage()) w->show();
  for (QWidget* w : ChartPage()) w->hide();
}
