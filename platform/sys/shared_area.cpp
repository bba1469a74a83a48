// Named shared memory with the lifetime of a Windows file mapping, on POSIX shm.
//
// Invariants:
//  (1) Every holder of a name keeps a shared flock on its own descriptor of the shm
//      object for as long as it holds it; the kernel drops that lock when the holder
//      closes the descriptor or dies.
//  (2) Creating, opening, checking and closing a name all run under one global lock
//      (an exclusive flock on a lock file that is never unlinked), so no holder can
//      appear or go away between the checks below and the action they decide.
//  (3) Under the global lock, an exclusive flock that succeeds on a descriptor of the
//      name proves there is no other holder: at close the holder removes the name;
//      at open the name is stale (its last holder died) and counts as absent.
//  (4) A new area is sized (zero-filled) before the global lock is released, so no
//      opener ever sees it shorter than its creator asked for.
//
// A failed non-blocking upgrade from the shared to the exclusive lock drops the
// shared lock on Linux (the conversion is not atomic), so the upgrade is tried only
// right before the descriptor is closed.
#include "sys/shared_area.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace sys {

struct SharedArea {
  std::string name;  // "/NAME", as shm_open takes it
  int fd;            // holds the shared flock of (1)
  void* view;
  size_t size;  // bytes mapped: the whole area
};

uint32_t AllocationGranularity() { return 65536; }

// The "/NAME" form of a caller's name, or "" when the name cannot be one: empty,
// containing '/', or too long for a file name.
static std::string ShmName(const char* name) {
  if (!name || !*name) return "";
  if (std::strchr(name, '/')) return "";
  if (std::strlen(name) >= NAME_MAX) return "";
  return std::string("/") + name;
}

static int FlockRetrying(int fd, int operation) {
  int rc;
  do rc = flock(fd, operation);
  while (rc != 0 && errno == EINTR);
  return rc;
}

// The global lock of (2), held for the lifetime of one object. The lock file lives
// beside the shm objects and is per user, like the areas it guards (mode 0600); one
// owned by another user is not trusted.
class GlobalLock {
 public:
  GlobalLock() {
    std::string path = "/dev/shm/.tervane-shm-" + std::to_string(geteuid()) + ".lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
        FlockRetrying(fd_, LOCK_EX) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~GlobalLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the flock
  }
  GlobalLock(const GlobalLock&) = delete;
  GlobalLock& operator=(const GlobalLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// True when `fd` is the only descriptor of its object that holds a flock (3). Only
// for a descriptor that holds no lock yet, or one about to be closed.
static bool NoOtherHolder(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

// Opens the existing, live area `shmName` with a shared lock; -1 when there is none.
// A stale name is removed on the way (3). Runs under the global lock.
static int OpenLiveArea(const std::string& shmName, bool writable) {
  int fd = shm_open(shmName.c_str(), writable ? O_RDWR : O_RDONLY, 0);
  if (fd < 0) return -1;
  if (NoOtherHolder(fd)) {
    shm_unlink(shmName.c_str());
    close(fd);
    return -1;
  }
  // Others hold only shared locks outside the global lock, so this cannot wait.
  if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Maps the whole area behind `fd` if it is at least `minSize` bytes; closes `fd` and
// returns null otherwise. A short area is never mapped: touching past its end
// would raise SIGBUS.
static SharedArea* MapArea(const std::string& shmName, int fd, size_t minSize, bool writable) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      static_cast<unsigned long long>(st.st_size) < minSize) {
    close(fd);
    return nullptr;
  }
  size_t size = static_cast<size_t>(st.st_size);
  int protection = writable ? PROT_READ | PROT_WRITE : PROT_READ;
  void* view = mmap(nullptr, size, protection, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) {
    close(fd);
    return nullptr;
  }
  return new SharedArea{shmName, fd, view, size};
}

SharedArea* CreateSharedArea(const char* name, size_t size, bool* existed) {
  if (existed) *existed = false;
  std::string shmName = ShmName(name);
  if (shmName.empty() || size == 0 || size > static_cast<size_t>(LLONG_MAX)) return nullptr;
  GlobalLock lock;
  if (!lock.held()) return nullptr;

  int fd = OpenLiveArea(shmName, true);
  if (fd >= 0) {
    SharedArea* area = MapArea(shmName, fd, size, true);
    if (area && existed) *existed = true;
    return area;
  }

  fd = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  if (fd < 0) return nullptr;
  // The umask may have narrowed the mode; only the owner attaches, but it must be
  // able to (4).
  if (fchmod(fd, 0600) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0 ||
      flock(fd, LOCK_SH | LOCK_NB) != 0) {
    shm_unlink(shmName.c_str());
    close(fd);
    return nullptr;
  }
  SharedArea* area = MapArea(shmName, fd, size, true);
  if (!area) shm_unlink(shmName.c_str());
  return area;
}

static SharedArea* OpenExisting(const char* name, size_t minSize, bool writable) {
  std::string shmName = ShmName(name);
  if (shmName.empty()) return nullptr;
  GlobalLock lock;
  if (!lock.held()) return nullptr;
  int fd = OpenLiveArea(shmName, writable);
  if (fd < 0) return nullptr;
  return MapArea(shmName, fd, minSize, writable);
}

SharedArea* OpenSharedArea(const char* name, size_t minSize) {
  return OpenExisting(name, minSize, true);
}

SharedArea* OpenSharedAreaForReading(const char* name, size_t minSize) {
  return OpenExisting(name, minSize, false);
}

void* SharedAreaView(SharedArea* area) { return area ? area->view : nullptr; }

size_t SharedAreaSize(SharedArea* area) { return area ? area->size : 0; }

void CloseSharedArea(SharedArea* area) {
  if (!area) return;
  munmap(area->view, area->size);
  {
    GlobalLock lock;
    // Without the global lock another process could be opening the name right now;
    // then the name is left in place, and the next open finds it stale (3).
    if (lock.held() && NoOtherHolder(area->fd)) shm_unlink(area->name.c_str());
    close(area->fd);
  }
  delete area;
}

bool SharedAreaExists(const char* name) {
  std::string shmName = ShmName(name);
  if (shmName.empty()) return false;
  GlobalLock lock;
  if (!lock.held()) return false;
  int fd = OpenLiveArea(shmName, false);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace sys
