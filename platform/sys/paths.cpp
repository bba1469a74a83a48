// Current directory, file kinds, case-insensitive lookup of a typed file name and
// the folder of the running program.
#include "sys/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace sys {

std::string CurrentDirectory() {
  std::vector<char> buffer(256);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size())) return buffer.data();
    if (errno != ERANGE || buffer.size() > (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
}

bool SetCurrentDirectory(const char* path) { return path && *path && chdir(path) == 0; }

static bool EqualIgnoringAsciiCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == a.size() && !b[i];
}

static std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string FindFileIgnoringCase(const std::string& folder, const std::string& name) {
  // A single folder entry only: a name with a separator or a NUL names none.
  if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
    return "";
  std::string dir = folder.empty() ? "." : folder;
  std::string exact = Joined(folder, name);
  struct stat st;
  if (lstat(exact.c_str(), &st) == 0) return exact;

  DIR* stream = opendir(dir.c_str());
  if (!stream) return "";
  // Several entries may differ only in case; the smallest name wins so that the
  // answer does not depend on the order the file system lists them in.
  std::string best;
  while (dirent* entry = readdir(stream)) {
    if (!EqualIgnoringAsciiCase(name, entry->d_name)) continue;
    if (best.empty() || best > entry->d_name) best = entry->d_name;
  }
  closedir(stream);
  return best.empty() ? "" : Joined(folder, best);
}

bool IsDirectory(const char* path) {
  struct stat st;
  return path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const char* path) {
  struct stat st;
  return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::string ProgramDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0) return ".";
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<size_t>(n));
      size_t slash = path.rfind('/');
      if (slash == std::string::npos) return ".";
      if (slash == 0) return "/";
      return path.substr(0, slash);
    }
    if (buffer.size() > (1u << 20)) return ".";
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace sys
