// Named shared memory with the lifetime the gauges and their peers expect: a name
// exists while any process holds it and disappears when the last holder closes it
// or dies. Backed by POSIX shared memory (mode 0600); every holder keeps a shared
// flock on it, and whoever finds itself the last holder removes the name.
//
// Names are given without a leading '/' ("TERVANE_COM_IPC_11" is the object
// /dev/shm/TERVANE_COM_IPC_11); a name that is empty or contains '/' is refused.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sys {

struct SharedArea;  // one holder's handle: the mapping and its view

// The size unit of a mapping on the original platform; both areas use it.
uint32_t AllocationGranularity();  // 65536

// Creates the named area of `size` bytes, zero-filled, or opens it when it exists
// (then `*existed` is set and the existing size must be at least `size`). Returns
// null when the area can be neither created nor opened.
SharedArea* CreateSharedArea(const char* name, size_t size, bool* existed = nullptr);

// Opens an existing area; null when there is none or it is smaller than `minSize`
// (a short area is refused, never mapped).
SharedArea* OpenSharedArea(const char* name, size_t minSize);

// The same with a read-only view: writing through it faults.
SharedArea* OpenSharedAreaForReading(const char* name, size_t minSize);

void* SharedAreaView(SharedArea* area);   // view of the whole area; null for null
size_t SharedAreaSize(SharedArea* area);  // bytes in the view: the area's whole size

// Unmaps and closes; the last holder removes the name. Null is allowed.
void CloseSharedArea(SharedArea* area);

// True when a live holder of `name` exists (a stale name with none counts as absent).
bool SharedAreaExists(const char* name);

}  // namespace sys
