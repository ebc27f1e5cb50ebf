#include <QApplication>
#include <QLocale>
#include <QScreen>

#include "app/clock.h"
#include "app/event_wiring.h"
#include "app/form1.h"
#include "app/message_boxes.h"
#include "app/module1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumivera"));
  // Day and month names and the decimal separator follow the user's locale; a machine without
  // one set gets the German names the rest of the window speaks.
  if (QLocale::system().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

  Form1 form;
  QtMessageBoxes messages(&form);
  Clock clock;
  Module1 module(form, messages, clock);
  ConnectEvents(form, module);
  LoadWindow(form, module, form.screen()->geometry().size());
  form.show();
  return QApplication::exec();
}
