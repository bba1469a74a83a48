// Libraries by name, as the original platform loads them: "TervData.dll" is looked
// up as "TervData.so" ("X.dll" → "X.so"; other names, such as "TERVANE-V1.gau",
// as they are). Search order: the running program's directory, the folders
// registered with AddLibraryFolder (the host registers its Gauges/), the current
// directory, then the system's own order; inside a folder the name matches
// ignoring case, the exact spelling first. A name with a '/' in it is that file
// only. Directories are never loaded. Libraries are opened RTLD_NOW | RTLD_LOCAL.
//
// A registry keyed by file name makes a second load of a loaded library hand back
// the same handle with its use count raised; FreeLibraryByHandle lowers it and
// unloads at zero.
#pragma once

#include <string>

namespace sys {

struct Library;  // opaque; one per loaded file

Library* LoadLibraryByName(const char* name);               // null when not found or not loadable
void* LibrarySymbol(Library* library, const char* symbol);  // null when absent
void FreeLibraryByHandle(Library* library);                 // null allowed
const char* LibraryPath(Library* library);                  // the file that was loaded
void* LibraryNativeHandle(Library* library);                // the dlopen handle
int LibraryUseCount(Library* library);

void AddLibraryFolder(const char* folder);  // searched after the program's folder
void ClearLibraryFolders();

// The reason the last failed load gave: the dlerror text of a file that was found
// but could not be loaded, or "<file>: not found".
std::string LastLibraryError();

}  // namespace sys
