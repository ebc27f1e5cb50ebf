// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>

// The file form of a number: the shortest plain decimal notation with a point that reads back to
// the same double (no exponent, no "-0"), and the two ways of reading it back.

// The longest file form of a finite double: fixed notation of the smallest subnormal.
inline constexpr std::size_t kMostFileNumberChars = 400;

// Writes the file form of `number` into `out` (room for kMostFileNumberChars) and returns its
// length.
std::size_t FormatFileNumber(double number, char* out);

// A number in any form the files may hold (digits, a sign, a point and an exponent; no "inf",
// "nan" or hexadecimal forms), or nothing.
[[nodiscard]] std::optional<double> ParseFileNumber(const char* first, const char* last);

// The common file form of a number (an optional minus sign and at most 15 digits with at most one
// point among them) read without the general parser, or nothing for any other form.
[[nodiscard]] std::optional<double> ParseShortDecimal(const char* first, const char* last);
