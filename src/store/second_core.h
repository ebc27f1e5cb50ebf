// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

// Whether the machine has a second core, so that half of a large table's work can run beside
// the other half.
inline bool SecondCoreAvailable() {
  static const bool kAvailable = std::thread::hardware_concurrency() > 1;
  return kAvailable;
}
