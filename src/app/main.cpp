#include <QApplication>
#include <QLocale>
#include <QScreen>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/event_wiring.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "app/message_boxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumivera"));
  // Day and month names and the decimal separator follow the user's locale; a machine without
  // one set gets the German names the rest of the window speaks.
  if (QLocale::system().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  SetUpFonts();

  MainWindow window;
  QtMessageBoxes messages(&window);
  Clock clock;
  DayLog dayLog(window, messages, clock);
  ConnectEvents(window, dayLog);
  LoadWindow(window, dayLog, window.screen()->geometry().size());
  window.show();
  return QApplication::exec();
}
