// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <vector>

#include "store/category_captions.h"
#include "store/tables.h"
#include "store/value.h"

// The tab captions in order from left to right: the seven categories, then the chart.
inline constexpr const char16_t* kTabCaptions[8] = {
    kCategoryCaptions[0], kCategoryCaptions[1], kCategoryCaptions[2], kCategoryCaptions[3],
    kCategoryCaptions[4], kCategoryCaptions[5], kCategoryCaptions[6], u"Entwicklung"};

// The caption of the tab that shows the chart page instead of the entry editor.
inline const QString kChartTabCaption = QString::fromUtf16(kTabCaptions[7]);

// Whether the tab with this caption shows the chart page.
bool IsChartTab(const Value& caption);

// The items the category table holds for the tab, in table order, as often as it holds them.
std::vector<Value> TabItems(const CategoryTable& categories, const Value& caption);

// The 1500 values offered in the value box: the tenths from 0.1 to 150 as the locale writes
// numbers ("0,1", ..., "0,9", "1", "1,1", ..., "150" in German). Each is k / 10 exactly, so no
// rounding error piles up along the list.
QStringList ValueChoices(const QLocale& locale = QLocale());

// The distinct categories of the person's entries, in the order of their first entry.
std::vector<Value> PersonCategories(const EntryTable& entries, const Value& person);
