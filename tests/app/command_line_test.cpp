// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QProcess>

// The real program on a terminal without a display: a usage error is printed with exit code 2
// before the window system is asked for, and Qt's own options are no usage error.
TEST(CommandLine, AnswersWithoutADisplay) {
  struct Case {
    QStringList arguments;
    int exitCode;
    QString output;  // the beginning of stderr, or of stdout for exit code 0
  };
  const Case cases[] = {
      {{QStringLiteral("--bogus")},
       2,
       QString::fromUtf8("lumivera: unbekannte Option „--bogus“.\n")},
      {{QStringLiteral("--data-dir")},
       2,
       QStringLiteral("lumivera: --data-dir braucht einen Ordner.\n")},
      {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")},
       0,
       QStringLiteral("lumivera ")},
  };
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(QString::fromLatin1(name));
  for (const Case& c : cases) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LUMIVERA_PROGRAM), c.arguments);
    ASSERT_TRUE(program.waitForFinished(10000)) << c.arguments.join(u' ').toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.arguments.join(u' ').toStdString();
    EXPECT_EQ(program.exitCode(), c.exitCode) << c.arguments.join(u' ').toStdString();
    const QString output = QString::fromLocal8Bit(c.exitCode == 0 ? program.readAllStandardOutput()
                                                                  : program.readAllStandardError());
    EXPECT_TRUE(output.startsWith(c.output)) << output.toStdString();
  }
}
