// Current directory and file names as the system uses them. Paths use '/'.
// A file name a user types is matched case-insensitively inside its folder.
#pragma once

#include <string>

namespace sys {

std::string CurrentDirectory();
bool SetCurrentDirectory(const char* path);

// The folder entry of `folder` whose name equals `name` ignoring ASCII case;
// the exact name is preferred. Returns the full path, or "" when none matches.
std::string FindFileIgnoringCase(const std::string& folder, const std::string& name);

bool IsDirectory(const char* path);
bool IsRegularFile(const char* path);

// The folder of the running program, without a trailing '/'.
std::string ProgramDirectory();

}  // namespace sys
