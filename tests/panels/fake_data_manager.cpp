// A stand-in for the data manager library: OpenMainDialog returns at once, as if
// the user closed the dialog without changes. Placed in the test's simulator
// directory so that the data button never reaches a real dialog.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t OpenMainDialog() { return 1; }
