// Libraries by name: maps "X.dll" to "X.so", searches the program folder, the
// registered folders and the current directory, and keeps one handle per file.
#include "sys/library.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "sys/paths.h"
namespace sys {
struct Library {
  std::string path;
  void* handle;
  int uses;
};
static std::map<std::string, Library*> loaded;
static std::vector<std::string> folders;
static std::string lastError;
static std::string Mapped(std::string n) {
  if (n.size() > 4 && n.substr(n.size() - 4) == ".dll") n = n.substr(0, n.size() - 4) + ".so";
  return n;
}
Library* LoadLibraryByName(const char* name) {
  std::string file = Mapped(name);
  std::vector<std::string> dirs = {ProgramDirectory()};
  for (auto& f : folders) dirs.push_back(f);
  dirs.push_back(CurrentDirectory());
  for (auto& d : dirs) {
    std::string p = d + "/" + file;
    if (!IsRegularFile(p.c_str())) continue;
    char real[PATH_MAX];
    if (!realpath(p.c_str(), real)) continue;
    auto it = loaded.find(real);
    if (it != loaded.end()) {
      it->second->uses++;
      return it->second;
    }
    void* h = dlopen(real, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
      lastError = dlerror();
      return nullptr;
    }
    auto* lib = new Library{real, h, 1};
    loaded[real] = lib;
    return lib;
  }
  lastError = "not found";
  return nullptr;
}
void* LibrarySymbol(Library* l, const char* s) { return l ? dlsym(l->handle, s) : nullptr; }
void FreeLibraryByHandle(Library* l) {
  if (!l) return;
  if (--l->uses == 0) {
    dlclose(l->handle);
    loaded.erase(l->path);
    delete l;
  }
}
const char* LibraryPath(Library* l) { return l->path.c_str(); }
void* LibraryNativeHandle(Library* l) { return l->handle; }
int LibraryUseCount(Library* l) { return l->uses; }
void AddLibraryFolder(const char* f) { folders.push_back(f); }
void ClearLibraryFolders() { folders.clear(); }
std::string LastLibraryError() { return lastError; }
}  // namespace sys
