// A tiny library for the library tests. Its counter lives in the loaded copy, so
// it shows whether a second load reached the copy already loaded and whether an
// unload really unloaded; its origin tells which of several files of one name was
// found.
#ifndef PROBE_ORIGIN
#define PROBE_ORIGIN 0
#endif

extern "C" __attribute__((visibility("default"))) int ProbeNext() {
  static int count;
  return ++count;
}

extern "C" __attribute__((visibility("default"))) int ProbeOrigin() { return PROBE_ORIGIN; }
