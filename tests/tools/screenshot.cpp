// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the README's pictures of the window: the program's own window, laid out for a
// 1920 x 1080 screen, on the seeded sample data, with "Haushalt" chosen in a month full of
// entries; one picture of the day view and one of the chart tab. Under QT_SCALE_FACTOR the
// pictures are taken at that scale and named after it (screenshot-1.5.png).
// Usage: QT_QPA_PLATFORM=offscreen lumivera_screenshot <folder>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLocale>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/event_wiring.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "fixed_clock.h"
#include "sample_data.h"

namespace {

class NoMessageBoxes : public MessageBoxes {
 public:
  void Show(const QString&, const QString&) override {}
  bool AskYesNo(const QString&, const QString&) override { return false; }
};

void Choose(QComboBox& box, const QString& text) {
  box.setCurrentIndex(box.findText(text));
}

void SelectTab(MainWindow& window, const QString& caption) {
  for (int i = 0; i < window.tabs->count(); ++i) {
    if (window.tabs->tabText(i) == caption) window.tabs->setCurrentIndex(i);
  }
  emit window.TabClicked();
}

bool Save(MainWindow& window, const QString& path) {
  QApplication::processEvents();
  const bool saved = window.grab().save(path, "PNG", 9);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetUpFonts();  // the faces the program itself sets up
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumivera_screenshot <folder>\n");
    return 2;
  }
  const QDir out(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
  QTemporaryDir data;
  if (!data.isValid()) return 1;
  WriteSampleFiles(MakeSampleData(20240305), data.path());

  NoMessageBoxes messages;
  const FixedClock clock(QDate(2026, 6, 15));
  MainWindow window;
  DayLog dayLog(window, messages, clock, data.path());
  ConnectEvents(window, dayLog);
  LoadWindow(window, dayLog, QSize(1920, 1080));
  window.show();

  const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
  const QString suffix = scale.isEmpty() ? QString() : u'-' + scale;
  Choose(*window.personBox, QStringLiteral("Haushalt"));
  emit window.PersonChosen();
  SelectTab(window, QStringLiteral("Ausgaben"));
  bool saved = Save(window, out.filePath(QStringLiteral("screenshot%1.png").arg(suffix)));

  SelectTab(window, QStringLiteral("Entwicklung"));
  Choose(*window.seriesCategoryBox, QStringLiteral("Ausgaben"));
  emit window.SeriesCategoryChosen();
  saved = Save(window, out.filePath(QStringLiteral("screenshot-chart%1.png").arg(suffix))) && saved;
  return saved ? 0 : 1;
}
