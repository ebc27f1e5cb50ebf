// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {
const QString kTahoma = QStringLiteral("Tahoma");

bool Installed(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}
}  // namespace

void SetUpFonts() {
  if (Installed(kTahoma)) return;
  // Regular and bold; the family name inside both files is "Tahoma".
  for (const QString& file : {QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"),
                              QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")}) {
    if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
  }
  if (Installed(kTahoma)) return;
  QStringList narrow;
  for (const QString& family :
       {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")}) {
    if (Installed(family)) narrow << family;
  }
  if (!narrow.isEmpty()) QFont::insertSubstitutions(kTahoma, narrow);
}
