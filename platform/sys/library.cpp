// Libraries by name: maps "X.dll" to "X.so", searches the program folder, the
// registered folders and the current directory before the system's own order, and
// keeps one registry entry per loaded file.
//
// Invariants:
//  (1) `loaded` holds exactly the libraries with a use count above 0, keyed by the
//      real path of the file (symbolic links and "." resolved), so two names of one
//      file are one library.
//  (2) Each entry owns one dlopen reference, whatever its use count.
#include "sys/library.h"

#include <dlfcn.h>
#include <link.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sys/paths.h"

namespace sys {

struct Library {
  std::string path;  // real path of the loaded file
  void* handle;      // from dlopen
  int uses;          // loads not yet freed
};

// Loading runs a library's constructors, which may load further libraries.
static std::recursive_mutex registryMutex;
static std::map<std::string, std::unique_ptr<Library>> loaded;  // (1)
static std::vector<std::string> folders;
static std::string lastError;

// "X.dll" (any case of the extension) becomes "X.so"; other names stay as they are.
static std::string MappedFileName(const std::string& name) {
  if (name.size() > 4) {
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext == ".dll") return name.substr(0, name.size() - 4) + ".so";
  }
  return name;
}

static std::string RealPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return "";
  std::string result = resolved;
  std::free(resolved);
  return result;
}

// The file `file` in one of our folders, or "" when none has it. A folder entry
// that differs only in case counts, as on the original platform; a directory is
// never a library.
static std::string SearchFolders(const std::string& file) {
  std::vector<std::string> dirs = {ProgramDirectory()};
  dirs.insert(dirs.end(), folders.begin(), folders.end());
  dirs.push_back(CurrentDirectory());
  for (const std::string& dir : dirs) {
    std::string candidate = FindFileIgnoringCase(dir, file);
    if (!candidate.empty() && IsRegularFile(candidate.c_str())) return candidate;
  }
  return "";
}

// Hands out the registry entry for `path`, raising its use count, or opens the
// file and enters it.
static Library* Register(const std::string& path, void* handle) {
  auto it = loaded.find(path);
  if (it != loaded.end()) {
    if (handle) dlclose(handle);  // the entry already owns a reference (2)
    ++it->second->uses;
    return it->second.get();
  }
  if (!handle) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      lastError = why ? why : path + ": cannot be loaded";
      return nullptr;
    }
  }
  auto library = std::make_unique<Library>(Library{path, handle, 1});
  Library* result = library.get();
  loaded[path] = std::move(library);
  return result;
}

Library* LoadLibraryByName(const char* name) {
  std::lock_guard<std::recursive_mutex> guard(registryMutex);
  if (!name || !*name) {
    lastError = "no library name";
    return nullptr;
  }
  std::string file = MappedFileName(name);

  // A name with a folder in it is that file and nothing else.
  if (file.find('/') != std::string::npos) {
    if (!IsRegularFile(file.c_str())) {
      lastError = file + ": not found";
      return nullptr;
    }
    std::string real = RealPath(file);
    if (real.empty()) {
      lastError = file + ": not found";
      return nullptr;
    }
    return Register(real, nullptr);
  }

  std::string found = SearchFolders(file);
  if (!found.empty()) {
    std::string real = RealPath(found);
    if (!real.empty()) return Register(real, nullptr);
  }

  // The system's own order; the file it picked tells the registry entry.
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    lastError = file + ": not found" + (why ? std::string(" (") + why + ")" : "");
    return nullptr;
  }
  link_map* map = nullptr;
  std::string real;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
    real = RealPath(map->l_name);
  if (real.empty()) real = file;
  return Register(real, handle);
}

void* LibrarySymbol(Library* library, const char* symbol) {
  if (!library || !symbol) return nullptr;
  return dlsym(library->handle, symbol);
}

void FreeLibraryByHandle(Library* library) {
  if (!library) return;
  std::lock_guard<std::recursive_mutex> guard(registryMutex);
  // Only a library still in the registry is freed: a stale or foreign pointer is
  // ignored rather than unloading something twice.
  auto it = loaded.begin();
  while (it != loaded.end() && it->second.get() != library) ++it;
  if (it == loaded.end()) return;
  if (--library->uses > 0) return;
  void* handle = library->handle;
  loaded.erase(it);
  dlclose(handle);  // may run destructors that free other libraries
}

const char* LibraryPath(Library* library) { return library ? library->path.c_str() : ""; }

void* LibraryNativeHandle(Library* library) { return library ? library->handle : nullptr; }

int LibraryUseCount(Library* library) { return library ? library->uses : 0; }

void AddLibraryFolder(const char* folder) {
  std::lock_guard<std::recursive_mutex> guard(registryMutex);
  if (folder && *folder) folders.push_back(folder);
}

void ClearLibraryFolders() {
  std::lock_guard<std::recursive_mutex> guard(registryMutex);
  folders.clear();
}

std::string LastLibraryError() {
  std::lock_guard<std::recursive_mutex> guard(registryMutex);
  return lastError;
}

}  // namespace sys
