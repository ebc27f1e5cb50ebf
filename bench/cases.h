// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Registers every benchmark of the harness. Each is named "<what>/full" (50,000 entries, full
// tables), "<what>/defaults" (the files a first start creates) or, for the views,
// "<what>/shown" (the full persons and categories, and only the person's entries of the shown
// month and the next one); each repetition runs the given number of iterations on a fresh
// data folder.
void RegisterBenchmarks(int repetitions);

// Runs the window load with full tables and then every procedure once, on the current
// directory that holds the full data files; returns the peak resident memory (VmHWM) in bytes,
// or -1 when it cannot be read.
long long PeakMemoryOfFullRun();
