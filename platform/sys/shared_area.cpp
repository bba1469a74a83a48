// Named shared memory on POSIX shm (mode 0600), sized and mapped whole.
#include "sys/shared_area.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
namespace sys {
struct SharedArea {
  int fd;
  void* view;
  size_t size;
};
uint32_t AllocationGranularity() { return 65536; }
SharedArea* CreateSharedArea(const char* name, size_t size, bool* existed) {
  std::string n = std::string("/") + name;
  int fd = shm_open(n.c_str(), O_RDWR | O_CREAT, 0600);
  if (fd < 0) return nullptr;
  struct stat st;
  fstat(fd, &st);
  if (existed) *existed = st.st_size > 0;
  if (size_t(st.st_size) < size) ftruncate(fd, off_t(size));
  void* v = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return new SharedArea{fd, v, size};
}
SharedArea* OpenSharedArea(const char* name, size_t minSize) {
  std::string n = std::string("/") + name;
  int fd = shm_open(n.c_str(), O_RDWR, 0600);
  if (fd < 0) return nullptr;
  struct stat st;
  fstat(fd, &st);
  if (size_t(st.st_size) < minSize) {
    close(fd);
    return nullptr;
  }
  void* v = mmap(nullptr, size_t(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return new SharedArea{fd, v, size_t(st.st_size)};
}
void* SharedAreaView(SharedArea* a) { return a->view; }
size_t SharedAreaSize(SharedArea* a) { return a->size; }
void CloseSharedArea(SharedArea* a) {
  if (!a) return;
  munmap(a->view, a->size);
  close(a->fd);
  delete a;
}
bool SharedAreaExists(const char* name) {
  std::string n = std::string("/") + name;
  int fd = shm_open(n.c_str(), O_RDONLY, 0);
  if (fd < 0) return false;
  close(fd);
  return true;
}
}  // namespace sys
