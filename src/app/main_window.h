// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "app/choice_box.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class ListBox;
class PictureBox;

// A key on the focused calendar that selects a day of the month shown.
enum class CalendarKey : int { PreviousDay, NextDay, FirstDay, LastDay };

// The frame around every control: a group box's frame with its caption in the top border, drawn
// by the style as it draws a group box. It is no group box to the toolkit, which would lend a
// group box's caption to every control inside it as the label a screen reader speaks.
class FrameBox : public QWidget {
 public:
  FrameBox(const QString& title, QWidget* parent);
  QString title() const { return title_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
};

// The one window: the frame and its 28 controls by their names. It holds no state of its own
// beyond its controls and knows nothing of the working procedures; it reports each handled user
// event through a signal.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);

  // The window-load layout: window at 90 % of the screen, frame at its fractions of the window,
  // every control at its fractions of the frame, then colours, fonts, texts and the start
  // visibility. `screen` is the screen size in pixels.
  void LayOut(QSize screen);

  // The caption of the selected tab.
  QString SelectedTabCaption() const;
  // Selects the tab at `index` (0 is the leftmost), as a click on it would (for tests and
  // scripted use).
  void SelectTab(int index);

  FrameBox* frame;
  QLabel* personHeading;
  ChoiceBox* personBox;
  QPushButton* addPersonButton;
  QLabel* titleLabel;
  QLabel* creditLabel;
  PictureBox* calendar;
  QPushButton* previousMonthButton;
  QPushButton* nextMonthButton;
  QTabWidget* tabs;
  QLineEdit* selectedDayField;
  QLineEdit* tabCaptionField;
  QLineEdit* hintField;
  QLineEdit* itemHeading;
  ChoiceBox* itemBox;
  QLineEdit* valueHeading;
  ChoiceBox* valueBox;
  QLineEdit* displayHeading;
  ListBox* displayList;
  QLineEdit* descriptionHeading;
  QPlainTextEdit* descriptionBox;
  ListBox* dayList;
  QPushButton* saveButton;
  QLineEdit* seriesCategoryHeading;
  ChoiceBox* seriesCategoryBox;
  QLineEdit* seriesItemHeading;
  ChoiceBox* seriesItemBox;
  PictureBox* chart;
  PictureBox* statisticsPanel;

  // The controls of the editor page and of the chart page, in the order they are shown.
  QList<QWidget*> EditorPage() const;
  QList<QWidget*> ChartPage() const;

 signals:
  void PersonChosen();
  void SeriesCategoryChosen();
  void SeriesItemChosen();
  void PreviousMonthClicked();
  void NextMonthClicked();
  void SaveClicked();
  void AddPersonClicked();
  void DayListPressed(int button);
  void CalendarPressed(float x, float y);
  void CalendarKeyPressed(CalendarKey key);
  void TabClicked();
  // Ctrl+C with the focus on the chart.
  void ChartCopyPressed();
  // Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z, anywhere in the window that typing does not take them.
  void UndoPressed();
  void RedoPressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The window manager's frame is known only once the window is shown: the first time it is,
  // the window is made that much smaller, so that its outer size is the one the layout asked
  // for. The controls stay where the layout put them.
  void FitOuterSize();
  void CreateControls();
  void SetFocusOrder();
  // Turns the controls' own signals into the window's signals above.
  void ForwardControlSignals();
  void NameControls();
  bool HandleCalendarKey(const QKeyEvent& key);
  // Every control reports the undo and redo keys to the window; true when the event is done.
  void WatchUndoKeys();
  bool HandleUndoKey(QObject* watched, QEvent& event);

  QSize outerSize_;
};
