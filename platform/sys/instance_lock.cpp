// Named single-instance locks as flocks on per-user lock files in /dev/shm. The
// kernel drops a flock when its descriptor closes, so a holder that dies releases
// the lock without leaving anything to clean up. Lock files are never removed:
// removing one while another process waits on it would let two holders in.
#include "sys/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace sys {

struct InstanceLock {
  int fd;  // holds the exclusive flock
};

// Longest part of the lock's name kept in the file name; the hash keeps longer
// names apart.
static constexpr size_t kMaxNameInFile = 100;

// The lock file for `name`: characters other than [A-Za-z0-9._-] become '_', and a
// hash of the whole name keeps apart names that map to the same text ("a b", "a_b").
static std::string LockFilePath(const std::string& name) {
  std::string safe;
  for (char c : name.substr(0, kMaxNameInFile)) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '.' || c == '_' || c == '-';
    safe += plain ? c : '_';
  }
  uint32_t hash = 2166136261u;  // FNV-1a, 32 bits
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "%08x", hash);
  return "/dev/shm/.tervane-instance-" + std::to_string(geteuid()) + "-" + safe + "-" + suffix +
         ".lock";
}

InstanceLock* AcquireInstanceLock(const char* name) {
  if (!name || !*name) return nullptr;
  std::string path = LockFilePath(name);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return nullptr;
  // A file another user planted under our name would let them hold our lock.
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
      flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return new InstanceLock{fd};
}

std::string InstanceLockFile(const char* name) { return name && *name ? LockFilePath(name) : ""; }

void ReleaseInstanceLock(InstanceLock* lock) {
  if (!lock) return;
  close(lock->fd);
  delete lock;
}

}  // namespace sys
