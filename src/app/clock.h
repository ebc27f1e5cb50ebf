// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

// Where today's date comes from; tests hand in a fixed day.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDate Today() const { return QDate::currentDate(); }
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(QDate today) : today_(today) {}
  QDate Today() const override { return today_; }
  void Set(QDate today) { today_ = today; }

 private:
  QDate today_;
};
