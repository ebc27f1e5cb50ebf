// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_on_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {
#if defined(Q_OS_UNIX)
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}
#endif
}  // namespace

void QuitOnTerminationSignals() {
#if defined(Q_OS_UNIX)
  if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier =
      new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    // Every event loop ends, a message box's too; the loop of the program ends also when it
    // has not started yet (a signal during a message at start).
    QCoreApplication::exit(0);
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // Interrupted system calls resume, so a rewrite in progress is never cut short.
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
#endif
}
