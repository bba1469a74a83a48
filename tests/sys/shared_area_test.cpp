// Named shared areas within one process and across processes: sharing, sizes,
// mode, and the lifetime rules (the name lives while a holder lives, and a dead
// holder's name counts as absent).
#include "sys/shared_area.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "peer_process.h"

namespace {

class SharedAreaTest : public ::testing::Test {
 protected:
  // A name no other test run uses.
  std::string NewName() {
    static int counter = 0;
    names_.push_back("tervane-test-area-" + std::to_string(getpid()) + "-" +
                     std::to_string(++counter));
    return names_.back();
  }
  static bool ShmFileExists(const std::string& name) {
    struct stat st;
    return stat(("/dev/shm/" + name).c_str(), &st) == 0;
  }
  static uint32_t Word(sys::SharedArea* area, size_t offset) {
    uint32_t value;
    std::memcpy(&value, static_cast<char*>(sys::SharedAreaView(area)) + offset, 4);
    return value;
  }
  static void SetWord(sys::SharedArea* area, size_t offset, uint32_t value) {
    std::memcpy(static_cast<char*>(sys::SharedAreaView(area)) + offset, &value, 4);
  }
  void TearDown() override {
    for (const std::string& name : names_) shm_unlink(("/" + name).c_str());
  }

 private:
  std::vector<std::string> names_;
};

TEST_F(SharedAreaTest, GranularityFitsTheProgramArea) {
  EXPECT_EQ(sys::AllocationGranularity(), 65536u);
  EXPECT_GE(sys::AllocationGranularity(), 6831u);
}

TEST_F(SharedAreaTest, NewAreaIsZeroedPrivateAndSharedWithinTheProcess) {
  std::string name = NewName();
  bool existed = true;
  sys::SharedArea* first = sys::CreateSharedArea(name.c_str(), 65536, &existed);
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(existed);
  EXPECT_EQ(sys::SharedAreaSize(first), 65536u);
  const auto* bytes = static_cast<const unsigned char*>(sys::SharedAreaView(first));
  EXPECT_EQ(std::count(bytes, bytes + 65536, 0), 65536);

  struct stat st;
  ASSERT_EQ(stat(("/dev/shm/" + name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A second holder in the same process (another module) gets the same memory.
  sys::SharedArea* second = sys::CreateSharedArea(name.c_str(), 65536, &existed);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(existed);
  SetWord(first, 102, 0xCAFE);
  EXPECT_EQ(Word(second, 102), 0xCAFEu);

  sys::CloseSharedArea(first);
  EXPECT_TRUE(sys::SharedAreaExists(name.c_str()));
  EXPECT_EQ(Word(second, 102), 0xCAFEu);
  sys::CloseSharedArea(second);
  EXPECT_FALSE(sys::SharedAreaExists(name.c_str()));
  EXPECT_FALSE(ShmFileExists(name));
}

TEST_F(SharedAreaTest, ModeStaysPrivateUnderAnOpenUmask) {
  std::string name = NewName();
  mode_t old = umask(0);
  sys::SharedArea* area = sys::CreateSharedArea(name.c_str(), 4096);
  umask(old);
  ASSERT_NE(area, nullptr);
  struct stat st;
  ASSERT_EQ(stat(("/dev/shm/" + name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  sys::CloseSharedArea(area);
}

TEST_F(SharedAreaTest, RefusesBadNamesAndSizes) {
  EXPECT_EQ(sys::CreateSharedArea(nullptr, 4096), nullptr);
  EXPECT_EQ(sys::CreateSharedArea("", 4096), nullptr);
  EXPECT_EQ(sys::CreateSharedArea("a/b", 4096), nullptr);
  EXPECT_EQ(sys::CreateSharedArea("/leading", 4096), nullptr);
  EXPECT_EQ(sys::CreateSharedArea(std::string(300, 'x').c_str(), 4096), nullptr);
  std::string name = NewName();
  EXPECT_EQ(sys::CreateSharedArea(name.c_str(), 0), nullptr);
  EXPECT_EQ(sys::OpenSharedArea("a/b", 4), nullptr);
  EXPECT_FALSE(sys::SharedAreaExists("a/b"));
  EXPECT_FALSE(ShmFileExists(name));
  sys::CloseSharedArea(nullptr);
  EXPECT_EQ(sys::SharedAreaView(nullptr), nullptr);
  EXPECT_EQ(sys::SharedAreaSize(nullptr), 0u);
}

TEST_F(SharedAreaTest, OpenFailsWithoutAHolder) {
  std::string name = NewName();
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 4), nullptr);
  EXPECT_EQ(sys::OpenSharedAreaForReading(name.c_str(), 4), nullptr);
  EXPECT_FALSE(sys::SharedAreaExists(name.c_str()));
  EXPECT_FALSE(ShmFileExists(name));
}

TEST_F(SharedAreaTest, ShortAreaIsRefusedNotMapped) {
  std::string name = NewName();
  sys::SharedArea* small = sys::CreateSharedArea(name.c_str(), 4096);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 4097), nullptr);
  EXPECT_EQ(sys::OpenSharedAreaForReading(name.c_str(), 6831), nullptr);
  bool existed = false;
  EXPECT_EQ(sys::CreateSharedArea(name.c_str(), 65536, &existed), nullptr);

  // Asking for less than the area holds maps all of it.
  sys::SharedArea* whole = sys::OpenSharedArea(name.c_str(), 118);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(sys::SharedAreaSize(whole), 4096u);
  sys::CloseSharedArea(whole);
  // The refusals did not take the creator's hold away.
  EXPECT_TRUE(sys::SharedAreaExists(name.c_str()));
  sys::CloseSharedArea(small);
  EXPECT_FALSE(ShmFileExists(name));
}

// An shm object left behind by a holder that died before the lock scheme could
// clean up, with content in it: it counts as absent and is replaced, zeroed.
TEST_F(SharedAreaTest, StaleNameCountsAsAbsent) {
  std::string name = NewName();
  int fd = shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 4096), 0);
  uint32_t junk = 0xDEADBEEF;
  ASSERT_EQ(pwrite(fd, &junk, 4, 0), 4);
  close(fd);

  EXPECT_FALSE(sys::SharedAreaExists(name.c_str()));
  EXPECT_FALSE(ShmFileExists(name)) << "the stale name is removed when found";

  fd = shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 4096), 0);
  ASSERT_EQ(pwrite(fd, &junk, 4, 0), 4);
  close(fd);
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 4), nullptr);

  fd = shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 4096), 0);
  ASSERT_EQ(pwrite(fd, &junk, 4, 0), 4);
  close(fd);
  bool existed = true;
  sys::SharedArea* fresh = sys::CreateSharedArea(name.c_str(), 65536, &existed);
  ASSERT_NE(fresh, nullptr);
  EXPECT_FALSE(existed);
  EXPECT_EQ(sys::SharedAreaSize(fresh), 65536u);
  EXPECT_EQ(Word(fresh, 0), 0u);
  sys::CloseSharedArea(fresh);
}

TEST_F(SharedAreaTest, ReadOnlyViewSeesTheWriter) {
  std::string name = NewName();
  sys::SharedArea* writer = sys::CreateSharedArea(name.c_str(), 4096);
  ASSERT_NE(writer, nullptr);
  sys::SharedArea* reader = sys::OpenSharedAreaForReading(name.c_str(), 4096);
  ASSERT_NE(reader, nullptr);
  SetWord(writer, 8, 77);
  EXPECT_EQ(Word(reader, 8), 77u);
  sys::CloseSharedArea(writer);
  EXPECT_TRUE(sys::SharedAreaExists(name.c_str())) << "a reader is a holder too";
  sys::CloseSharedArea(reader);
  EXPECT_FALSE(ShmFileExists(name));
}

TEST_F(SharedAreaTest, AnotherProcessSeesWritesBothWays) {
  std::string name = NewName();
  PeerProcess peer;
  ASSERT_EQ(peer.Ask("create " + name + " 65536"), "ok existed=0 size=65536");
  ASSERT_EQ(peer.Ask("write 102 2"), "ok");

  sys::SharedArea* area = sys::OpenSharedArea(name.c_str(), 118);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(sys::SharedAreaSize(area), 65536u);
  EXPECT_EQ(Word(area, 102), 2u);
  SetWord(area, 6827, 123456);  // the last word of the program area
  EXPECT_EQ(peer.Ask("read 6827"), "123456");
  sys::CloseSharedArea(area);
}

TEST_F(SharedAreaTest, NameGoesWithTheLastHolderToClose) {
  std::string name = NewName();
  PeerProcess creator, other;
  ASSERT_EQ(creator.Ask("create " + name + " 4096"), "ok existed=0 size=4096");
  ASSERT_EQ(other.Ask("create " + name + " 4096"), "ok existed=1 size=4096");
  ASSERT_EQ(creator.Ask("write 0 9"), "ok");

  // The creator leaving does not take the area from the other holder.
  ASSERT_EQ(creator.Ask("close"), "ok");
  EXPECT_TRUE(sys::SharedAreaExists(name.c_str()));
  EXPECT_EQ(other.Ask("read 0"), "9");
  ASSERT_EQ(creator.Ask("open " + name + " 4"), "ok size=4096");
  EXPECT_EQ(creator.Ask("read 0"), "9");
  ASSERT_EQ(creator.Ask("close"), "ok");

  ASSERT_EQ(other.Ask("close"), "ok");
  EXPECT_FALSE(ShmFileExists(name));
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 4), nullptr);
}

TEST_F(SharedAreaTest, NameGoesWhenTheLastHolderIsKilled) {
  std::string name = NewName();
  {
    PeerProcess holder;
    ASSERT_EQ(holder.Ask("create " + name + " 65536"), "ok existed=0 size=65536");
    ASSERT_EQ(holder.Ask("write 100 31"), "ok");
    EXPECT_TRUE(sys::SharedAreaExists(name.c_str()));
    holder.Kill();
  }
  EXPECT_FALSE(sys::SharedAreaExists(name.c_str()));
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 4), nullptr);

  // A new creator starts from a fresh, zeroed area.
  PeerProcess next;
  ASSERT_EQ(next.Ask("create " + name + " 65536"), "ok existed=0 size=65536");
  EXPECT_EQ(next.Ask("read 100"), "0");
}

TEST_F(SharedAreaTest, KilledHolderLeavesTheOthersTheirArea) {
  std::string name = NewName();
  PeerProcess doomed, survivor;
  ASSERT_EQ(doomed.Ask("create " + name + " 4096"), "ok existed=0 size=4096");
  ASSERT_EQ(survivor.Ask("open " + name + " 4096"), "ok size=4096");
  ASSERT_EQ(doomed.Ask("write 4 5"), "ok");
  doomed.Kill();
  EXPECT_TRUE(sys::SharedAreaExists(name.c_str()));
  sys::SharedArea* area = sys::OpenSharedArea(name.c_str(), 4096);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(Word(area, 4), 5u);
  ASSERT_EQ(survivor.Ask("close"), "ok");
  sys::CloseSharedArea(area);
  EXPECT_FALSE(ShmFileExists(name));
}

TEST_F(SharedAreaTest, ShortAreaOfAnotherProcessIsRefused) {
  std::string name = NewName();
  PeerProcess peer;
  ASSERT_EQ(peer.Ask("create " + name + " 100"), "ok existed=0 size=100");
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 118), nullptr);
  EXPECT_EQ(sys::OpenSharedArea(name.c_str(), 6831), nullptr);
  EXPECT_EQ(sys::CreateSharedArea(name.c_str(), 65536), nullptr);
  EXPECT_EQ(peer.Ask("read 96"), "0");
}

// Processes creating and closing one name at once: every round gets a whole area
// and the name is gone when they have all finished.
TEST_F(SharedAreaTest, ConcurrentCreateAndCloseLeavesNothingBehind) {
  std::string name = NewName();
  std::vector<std::unique_ptr<PeerProcess>> peers;
  for (int i = 0; i < 4; ++i) peers.push_back(std::make_unique<PeerProcess>());
  // Start all, then collect the answers, so the rounds overlap.
  for (auto& peer : peers) ASSERT_TRUE(peer->Send("churn " + name + " 8192 150"));
  for (auto& peer : peers) EXPECT_EQ(peer->Receive(), "ok");
  EXPECT_FALSE(ShmFileExists(name));
}

}  // namespace
