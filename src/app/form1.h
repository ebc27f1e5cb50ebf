#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class ListBox;
class PictureBox;

// The one window: the frame and its 28 controls by their names. It holds no state of its own
// beyond its controls and knows nothing of the working procedures; it reports each handled user
// event through a signal.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  // The window-load layout: window at 90 % of the screen, frame at its fractions of the window,
  // every control at its fractions of the frame, then colours, fonts, texts and the start
  // visibility. `screen` is the screen size in pixels.
  void LayOut(QSize screen);

  // The caption of the selected tab.
  QString SelectedTabCaption() const;
  // Selects the tab with that caption, as a click on it would (for tests and scripted use).
  void SelectTab(int index);

  QGroupBox* Frame1;
  QLabel* Label1;
  QComboBox* Combo3;
  QPushButton* Command4;
  QLabel* Label2;
  QLabel* Label3;
  PictureBox* Picture1;
  QPushButton* Command1;
  QPushButton* Command2;
  QTabWidget* TabStrip1;
  QLineEdit* Text1;
  QLineEdit* Text2;
  QLineEdit* Text10;
  QLineEdit* Text4;
  QComboBox* Combo1;
  QLineEdit* Text5;
  QComboBox* Combo2;
  QLineEdit* Text6;
  ListBox* List3;
  QLineEdit* Text7;
  QPlainTextEdit* Text3;
  ListBox* List1;
  QPushButton* Command3;
  QLineEdit* Text8;
  QComboBox* Combo4;
  QLineEdit* Text9;
  QComboBox* Combo5;
  PictureBox* Picture2;
  PictureBox* Picture3;

  // The controls of the editor page and of the chart page, in the order they are shown.
  QList<QWidget*> EditorPage() const;
  QList<QWidget*> ChartPage() const;

 signals:
  void Combo3Chosen();
  void Combo4Chosen();
  void Combo5Chosen();
  void Command1Clicked();
  void Command2Clicked();
  void Command3Clicked();
  void Command4Clicked();
  void List1Pressed(int button);
  void Picture1Pressed(float x, float y);
  void TabStrip1Clicked();

 private:
  void CreateControls();
  void SetFocusOrder();
  void ConnectEvents();
};

// The tab captions in order from left to right.
extern const char16_t* const kTabCaptions[8];
