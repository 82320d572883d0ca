// What the program says on standard error while its window system starts, and what it keeps quiet.
#pragma once

namespace start_up {

// Installs the program's message handler before the application object is made. Qt's complaints
// about the runtime folder, which the program never asks Qt for, are dropped. Until started() the
// messages are held back: when no window system can be reached, the program ends with status 1
// and one line on standard error that names the display it tried, instead of an abort.
void beginQuietly();

// The window system is up: what was held back goes out, and messages flow as usual from now on.
void started();

}  // namespace start_up
