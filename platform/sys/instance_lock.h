// A named single-instance lock, the stand-in for a program's named mutex: the
// first process to acquire a name holds it until it releases it, exits or dies;
// every other attempt meanwhile, in any process of the same user, is refused.
#pragma once

#include <string>

namespace sys {

struct InstanceLock;  // one holder's handle

// Takes the lock called `name` ("IpcProbe 1.10"). Returns null when another holder
// has it (also one in this process), or when the lock cannot be set up at all.
InstanceLock* AcquireInstanceLock(const char* name);

// Lets the lock go. Null is allowed.
void ReleaseInstanceLock(InstanceLock* lock);

// The lock file behind `name`, for diagnostics and for tests that clean up; the
// lock itself never removes it.
std::string InstanceLockFile(const char* name);

}  // namespace sys
