// The open-file and save-file dialogs. As on the original platform, a file chosen
// in either dialog makes its folder the process's current directory (unless
// kNoChangeDir), so callers that resolve files against a start directory must keep
// their own copy of it.
#pragma once

#include <string>

#include "ui/dialog.h"

namespace ui {

enum FileDialogOption : unsigned {
  kFileMustExist = 1u << 0,    // open: only an existing file can be chosen
  kPathMustExist = 1u << 1,    // the folder must exist
  kHideReadOnly = 1u << 2,     // no read-only check box
  kOverwritePrompt = 1u << 3,  // save: confirm replacing an existing file
  kCreatePrompt = 1u << 4,     // confirm creating a file that does not exist
  kNoChangeDir = 1u << 5,      // leave the current directory alone
};

struct FileFilter {
  const char* name;     // "GPS Program (*.prg)"
  const char* pattern;  // "*.prg"; several patterns separated by ';'
};

struct FileDialogSettings {
  Dialog* owner = nullptr;
  const char* title = "";
  const FileFilter* filters = nullptr;
  int filterCount = 0;
  int filterIndex = 1;           // 1-based; the user's choice is written back
  std::string initialFolder;     // used when the proposed name has no folder
  std::string defaultExtension;  // without the dot; added to a name typed without one
  unsigned options = 0;          // FileDialogOption bits
};

// `path` holds the proposed file: a bare name (shown in the initial folder) or a
// full path (its folder is shown). On success it receives the chosen file's full
// path. Returns false when the user cancels (or, headless, when there is no answer).
bool GetOpenFileName(FileDialogSettings& settings, std::string& path);
bool GetSaveFileName(FileDialogSettings& settings, std::string& path);

}  // namespace ui
