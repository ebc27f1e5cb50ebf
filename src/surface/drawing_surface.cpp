// SPDX-License-Identifier: GPL-3.0-or-later
#include "surface/drawing_surface.h"

#include "format/number_format.h"

void DrawingSurface::PrintNumber(double number) {
  Print(PrintNotation(number));
}
