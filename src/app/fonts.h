// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes the face "Tahoma" available to the window and the drawing surfaces. Where it is not
// installed, the Tahoma-metric face shipped with Wine's fonts is registered for this program;
// where that is missing too, "Tahoma" is mapped to a close, narrow sans-serif. Call once after
// the application object exists and before the window is created.
void SetUpFonts();
