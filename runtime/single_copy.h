// The lock that lets only one copy of the program run per user.
#pragma once

#include <QString>

namespace single_copy {

// Where the lock lives: the user's runtime folder, so each user has a copy of their own.
QString lockPath();

// Takes the lock for this process if it is free. True when another running process holds it;
// false when this process holds it now (or already did). The kernel drops the lock when its
// holder dies, so a crashed copy never keeps a new one from starting.
bool anotherCopyHoldsLock();

}  // namespace single_copy
