// The named single-instance lock: one holder at a time across processes, and a
// holder's death frees it.
#include "sys/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <iterator>
#include <string>
#include <vector>

#include "peer_process.h"

namespace {

// Spaces and other characters as in the real name ("IpcProbe 1.10"), made unique;
// their lock files are removed when the test ends.
class InstanceLockTest : public ::testing::Test {
 protected:
  std::string TestLockName(const std::string& tag) {
    std::string name = "IpcProbe 1.10 test " + tag + " " + std::to_string(getpid());
    names_.push_back(name);
    return name;
  }
  void TearDown() override {
    for (const std::string& name : names_) unlink(sys::InstanceLockFile(name.c_str()).c_str());
  }

 private:
  std::vector<std::string> names_;
};

TEST_F(InstanceLockTest, SecondAcquireIsRefusedUntilRelease) {
  std::string name = TestLockName("local");
  sys::InstanceLock* first = sys::AcquireInstanceLock(name.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(sys::AcquireInstanceLock(name.c_str()), nullptr);

  PeerProcess peer;
  EXPECT_EQ(peer.Ask("lock " + name), "fail");
  sys::ReleaseInstanceLock(first);
  EXPECT_EQ(peer.Ask("lock " + name), "ok");
  EXPECT_EQ(sys::AcquireInstanceLock(name.c_str()), nullptr);
  EXPECT_EQ(peer.Ask("unlock"), "ok");

  sys::InstanceLock* again = sys::AcquireInstanceLock(name.c_str());
  EXPECT_NE(again, nullptr);
  sys::ReleaseInstanceLock(again);
}

TEST_F(InstanceLockTest, KilledHolderReleasesTheLock) {
  std::string name = TestLockName("killed");
  PeerProcess peer;
  ASSERT_EQ(peer.Ask("lock " + name), "ok");
  EXPECT_EQ(sys::AcquireInstanceLock(name.c_str()), nullptr);
  peer.Kill();
  sys::InstanceLock* lock = sys::AcquireInstanceLock(name.c_str());
  EXPECT_NE(lock, nullptr);
  sys::ReleaseInstanceLock(lock);
}

// Names that become the same file-name text stay different locks; names with a
// path separator or nothing safe in them still work.
TEST_F(InstanceLockTest, NamesAreKeptApart) {
  const std::string names[] = {TestLockName("a b"), TestLockName("a_b"), TestLockName("a/b"),
                               TestLockName("../../x"), TestLockName("\xBA\x01")};
  sys::InstanceLock* locks[std::size(names)];
  for (size_t i = 0; i < std::size(names); ++i) {
    locks[i] = sys::AcquireInstanceLock(names[i].c_str());
    EXPECT_NE(locks[i], nullptr) << names[i];
  }
  for (sys::InstanceLock* lock : locks) sys::ReleaseInstanceLock(lock);
  // Whatever the name, its file sits directly in /dev/shm.
  for (const std::string& name : names) {
    std::string file = sys::InstanceLockFile(name.c_str());
    EXPECT_EQ(file.rfind("/dev/shm/.tervane-instance-", 0), 0u) << file;
    EXPECT_EQ(file.rfind('/'), 8u) << file;
  }
  EXPECT_EQ(sys::AcquireInstanceLock(""), nullptr);
  EXPECT_EQ(sys::AcquireInstanceLock(nullptr), nullptr);
  sys::ReleaseInstanceLock(nullptr);
}

}  // namespace
