// A second process for the shared-area and instance-lock tests. It reads one
// command per line on stdin and answers one line on stdout, so a test can make it
// hold, write, read and release named areas and locks, or kill it while it holds
// them. End of input ends it.
//
//   create NAME SIZE     -> "ok existed=E size=S" | "fail"
//   open NAME MINSIZE    -> "ok size=S" | "fail"
//   write OFFSET VALUE   -> "ok"  (a 32-bit word into the held area)
//   read OFFSET          -> the 32-bit word at OFFSET of the held area
//   close                -> "ok"
//   lock NAME            -> "ok" | "fail"   (instance lock)
//   unlock               -> "ok"
//   churn NAME SIZE N    -> "ok" | "fail ..."  (N create/close rounds)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "sys/instance_lock.h"
#include "sys/shared_area.h"

static sys::SharedArea* area;
static sys::InstanceLock* instanceLock;

static bool InArea(size_t offset) {
  return area && offset <= sys::SharedAreaSize(area) && sys::SharedAreaSize(area) - offset >= 4;
}

// Creates and closes `name` `count` times, checking what every round gets.
static std::string Churn(const std::string& name, size_t size, int count) {
  for (int i = 0; i < count; ++i) {
    bool existed = false;
    sys::SharedArea* held = sys::CreateSharedArea(name.c_str(), size, &existed);
    if (!held) return "fail create round " + std::to_string(i);
    if (sys::SharedAreaSize(held) < size) return "fail short area";
    auto* bytes = static_cast<unsigned char*>(sys::SharedAreaView(held));
    bytes[size - 1] = 1;  // touches the last byte: a short mapping would fault here
    sys::CloseSharedArea(held);
  }
  return "ok";
}

static std::string Run(const std::string& line) {
  std::istringstream in(line);
  std::string command, name;
  in >> command;
  if (command == "create") {
    size_t size = 0;
    in >> name >> size;
    bool existed = false;
    sys::CloseSharedArea(area);
    area = sys::CreateSharedArea(name.c_str(), size, &existed);
    if (!area) return "fail";
    return "ok existed=" + std::to_string(existed ? 1 : 0) +
           " size=" + std::to_string(sys::SharedAreaSize(area));
  }
  if (command == "open") {
    size_t size = 0;
    in >> name >> size;
    sys::CloseSharedArea(area);
    area = sys::OpenSharedArea(name.c_str(), size);
    if (!area) return "fail";
    return "ok size=" + std::to_string(sys::SharedAreaSize(area));
  }
  if (command == "write") {
    size_t offset = 0;
    uint32_t value = 0;
    in >> offset >> value;
    if (!InArea(offset)) return "fail";
    std::memcpy(static_cast<char*>(sys::SharedAreaView(area)) + offset, &value, 4);
    return "ok";
  }
  if (command == "read") {
    size_t offset = 0;
    in >> offset;
    if (!InArea(offset)) return "fail";
    uint32_t value = 0;
    std::memcpy(&value, static_cast<char*>(sys::SharedAreaView(area)) + offset, 4);
    return std::to_string(value);
  }
  if (command == "close") {
    sys::CloseSharedArea(area);
    area = nullptr;
    return "ok";
  }
  if (command == "lock") {
    std::getline(in >> std::ws, name);
    sys::ReleaseInstanceLock(instanceLock);
    instanceLock = sys::AcquireInstanceLock(name.c_str());
    return instanceLock ? "ok" : "fail";
  }
  if (command == "unlock") {
    sys::ReleaseInstanceLock(instanceLock);
    instanceLock = nullptr;
    return "ok";
  }
  if (command == "churn") {
    size_t size = 0;
    int count = 0;
    in >> name >> size >> count;
    return Churn(name, size, count);
  }
  return "fail unknown command";
}

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::string answer = Run(line);
    std::printf("%s\n", answer.c_str());
    std::fflush(stdout);
  }
  sys::CloseSharedArea(area);
  sys::ReleaseInstanceLock(instanceLock);
  return 0;
}
