// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include "surface/drawing_surface.h"

namespace {
bool Installed(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}
}  // namespace

void SetUpFonts() {
  if (Installed(kFontName)) return;
  // Only the regular face: the bold file of that package draws strokes as thin as the regular
  // ones at the window's 8.25 points, so bold captions would not look bold. Qt emboldens the
  // regular face instead, which keeps its metrics close and is plainly bold.
  const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
  if (QFile::exists(regular)) QFontDatabase::addApplicationFont(regular);
  if (Installed(kFontName)) return;
  const QStringList installed = QFontDatabase::families();
  QStringList narrow;
  for (const QString& family :
       {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")}) {
    if (installed.contains(family, Qt::CaseInsensitive)) narrow << family;
  }
  if (!narrow.isEmpty()) QFont::insertSubstitutions(kFontName, narrow);
}
