// Current directory, file kinds and the program folder.
#include "sys/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
namespace sys {
std::string CurrentDirectory() {
  char b[PATH_MAX];
  return getcwd(b, sizeof b) ? b : "";
}
bool SetCurrentDirectory(const char* p) { return chdir(p) == 0; }
std::string FindFileIgnoringCase(const std::string& folder, const std::string& name) {
  return folder + "/" + name;
}
bool IsDirectory(const char* p) {
  struct stat st;
  return stat(p, &st) == 0 && S_ISDIR(st.st_mode);
}
bool IsRegularFile(const char* p) {
  struct stat st;
  return stat(p, &st) == 0 && S_ISREG(st.st_mode);
}
std::string ProgramDirectory() {
  char b[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", b, sizeof b - 1);
  if (n <= 0) return ".";
  b[n] = 0;
  std::string s = b;
  return s.substr(0, s.rfind('/'));
}
}  // namespace sys
