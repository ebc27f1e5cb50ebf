// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

// Where today's date comes from; tests hand in one of their own.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDate Today() const { return QDate::currentDate(); }
};
