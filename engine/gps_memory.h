// The gauge's loader of the GPS memory file. LoadGpsMemory (engine.h) reads
// "./TERVANE.dat"; the forms below take another path or an open stream, for tests,
// the fuzz target and the benchmark.
#pragma once

#include <cstdio>

// Loads the program file at `path` into gps.legs; 1 on success, 0 on failure.
int LoadGpsMemoryFile(const char* path);

// The same from an open stream (read from its current position; not closed).
int LoadGpsMemoryStream(FILE* file);
