// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes SIGTERM, SIGHUP and SIGINT (logging out, shutting down, Ctrl+C) end the program as
// closing its window does: the event loop, and any message box open in it, ends once the event
// in progress (a rewrite among them) is finished, so the lock is released and no temporary file
// stays behind. The signal only writes to a pipe that the event loop reads.
void QuitOnTerminationSignals();
