// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

#include "app/clock.h"

// Today is the day it is given.
class FixedClock : public Clock {
 public:
  explicit FixedClock(QDate today) : today_(today) {}
  QDate Today() const override { return today_; }
  void Set(QDate today) { today_ = today; }

 private:
  QDate today_;
};
