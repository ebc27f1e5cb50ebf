// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The seven categories: the captions of the tabs that hold entries, from left to right. The
// category of every entry and of every known item is one of them.
inline constexpr const char16_t* kCategoryCaptions[7] = {
    u"Allgemein",   u"persönliches", u"Essen/Trinken", u"Sport",
    u"Aktivitäten", u"Rezepte",      u"Ausgaben"};

// Whether the text is one of the seven captions, exactly.
inline bool IsCategoryCaption(const QString& text) {
  for (const char16_t* caption : kCategoryCaptions) {
    if (text == QStringView(caption)) return true;
  }
  return false;
}
