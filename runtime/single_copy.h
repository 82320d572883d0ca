// The lock that lets only one copy of the program run per user and desktop session.
#pragma once

#include <QString>

namespace single_copy {

// The lock file's name for the desktop session the program shows on (its display) on this host,
// reduced to characters that are safe in a file name.
QString lockName();

// The folder the lock lives in: the user's runtime folder when it belongs to the user alone,
// otherwise a folder of the program's own under the user's cache folder, made private. Empty when
// neither can be had safely.
QString lockFolder();

// Takes the lock for this process if it is free. True when another running process holds it;
// false when this process holds it now (or already did), and when no lock can be had safely:
// better to run than to refuse to start. The kernel drops the lock when its holder dies, so a
// crashed copy never keeps a new one from starting.
bool anotherCopyHoldsLock();

}  // namespace single_copy
