// Libraries by name: the .dll to .so mapping, the search order, the registry's
// shared copies and use counts, and the failures (missing, not a library, a
// directory).
#include "sys/library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sys/paths.h"

namespace {

namespace fs = std::filesystem;

const std::string kLibs = SYS_LIBS_DIR;  // a/, b/, cwd/ with the probe libraries
const std::string kA = kLibs + "/a";
const std::string kB = kLibs + "/b";
const std::string kCwd = kLibs + "/cwd";

using ProbeRoutine = int (*)();

int Call(sys::Library* library, const char* symbol) {
  auto routine = reinterpret_cast<ProbeRoutine>(sys::LibrarySymbol(library, symbol));
  return routine ? routine() : -1;
}

// True while the dynamic linker still has `path` loaded.
bool StillLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return false;
  dlclose(handle);
  return true;
}

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startDir_ = sys::CurrentDirectory();
    char pattern[] = "/tmp/tervane-libtest-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    temp_ = pattern;
  }
  void TearDown() override {
    sys::ClearLibraryFolders();
    sys::SetCurrentDirectory(startDir_.c_str());
    fs::remove_all(temp_);
  }
  std::string temp_;

 private:
  std::string startDir_;
};

TEST_F(LibraryTest, DllNameMapsToSoAnySpelling) {
  sys::AddLibraryFolder(kA.c_str());
  sys::Library* library = sys::LoadLibraryByName("TestCounter.dll");
  ASSERT_NE(library, nullptr) << sys::LastLibraryError();
  EXPECT_EQ(std::string(sys::LibraryPath(library)), fs::canonical(kA + "/TestCounter.so").string());
  // The same file under other spellings is the same library.
  for (const char* name : {"TestCounter.DLL", "testcounter.dll", "TestCounter.so"})
    EXPECT_EQ(sys::LoadLibraryByName(name), library) << name;
  EXPECT_EQ(sys::LibraryUseCount(library), 4);
  for (int i = 0; i < 4; ++i) sys::FreeLibraryByHandle(library);
}

TEST_F(LibraryTest, SecondLoadSharesTheCopyAndUnloadHappensAtZero) {
  sys::AddLibraryFolder(kA.c_str());
  sys::Library* first = sys::LoadLibraryByName("TestCounter.dll");
  ASSERT_NE(first, nullptr) << sys::LastLibraryError();
  std::string path = sys::LibraryPath(first);
  EXPECT_EQ(Call(first, "ProbeNext"), 1);

  sys::Library* second = sys::LoadLibraryByName("TestCounter.dll");
  EXPECT_EQ(second, first);
  EXPECT_EQ(sys::LibraryNativeHandle(second), sys::LibraryNativeHandle(first));
  EXPECT_EQ(sys::LibraryUseCount(first), 2);
  EXPECT_EQ(Call(second, "ProbeNext"), 2);

  sys::FreeLibraryByHandle(second);  // as DIS2 does at its kill: the gauge stays
  EXPECT_EQ(sys::LibraryUseCount(first), 1);
  EXPECT_TRUE(StillLoaded(path));
  EXPECT_EQ(Call(first, "ProbeNext"), 3);

  sys::FreeLibraryByHandle(first);
  EXPECT_FALSE(StillLoaded(path));
  sys::FreeLibraryByHandle(first);  // a stale handle is ignored

  sys::Library* fresh = sys::LoadLibraryByName("TestCounter.dll");
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(Call(fresh, "ProbeNext"), 1) << "a reload starts from a fresh copy";
  EXPECT_EQ(sys::LibraryUseCount(fresh), 1);
  sys::FreeLibraryByHandle(fresh);
}

struct OrderCase {
  const char* what;
  std::vector<std::string> folders;  // registered, in order
  std::string cwd;                   // "" keeps the test's own
  const char* name;
  int origin;  // ProbeOrigin of the copy found; -1: none
};

TEST_F(LibraryTest, SearchOrder) {
  // Origins: 0 program folder, 1 a/, 2 b/, 3 cwd/.
  const OrderCase cases[] = {
      {"program folder before registered ones", {kA, kB}, "", "TestOrder.dll", 0},
      {"registered folders in their order", {kA, kB}, "", "TestOrderB.dll", 1},
      {"registered folders in their order, reversed", {kB, kA}, "", "TestOrderB.dll", 2},
      {"registered folder before the current one", {kB}, kCwd, "TestOrderC.dll", 2},
      {"current folder", {}, kCwd, "TestOrderC.dll", 3},
      {"current folder ignoring case", {kA}, kCwd, "testorderc.DLL", 3},
      {"in no folder", {kA}, "/", "TestOrderC.dll", -1},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.what);
    sys::ClearLibraryFolders();
    for (const std::string& folder : c.folders) sys::AddLibraryFolder(folder.c_str());
    if (!c.cwd.empty()) {
      ASSERT_TRUE(sys::SetCurrentDirectory(c.cwd.c_str()));
    }
    sys::Library* library = sys::LoadLibraryByName(c.name);
    if (c.origin < 0) {
      EXPECT_EQ(library, nullptr);
    } else {
      ASSERT_NE(library, nullptr) << sys::LastLibraryError();
      EXPECT_EQ(Call(library, "ProbeOrigin"), c.origin) << sys::LibraryPath(library);
      sys::FreeLibraryByHandle(library);
    }
    ASSERT_TRUE(sys::SetCurrentDirectory(kLibs.c_str()));
  }
}

TEST_F(LibraryTest, MissingLibraryIsNullWithItsReason) {
  sys::AddLibraryFolder(kA.c_str());
  EXPECT_EQ(sys::LoadLibraryByName("NoSuchLibrary.dll"), nullptr);
  std::string why = sys::LastLibraryError();
  EXPECT_NE(why.find("NoSuchLibrary.so"), std::string::npos) << why;
  EXPECT_NE(why.find("not found"), std::string::npos) << why;
  EXPECT_EQ(sys::LoadLibraryByName(nullptr), nullptr);
  EXPECT_EQ(sys::LoadLibraryByName(""), nullptr);
  EXPECT_EQ(sys::LoadLibraryByName((temp_ + "/Nothing.so").c_str()), nullptr);
}

TEST_F(LibraryTest, FileThatIsNoLibraryGivesTheLoaderReason) {
  std::FILE* file = std::fopen((temp_ + "/Broken.so").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("not an ELF file\n", file);
  std::fclose(file);
  sys::AddLibraryFolder(temp_.c_str());
  EXPECT_EQ(sys::LoadLibraryByName("Broken.dll"), nullptr);
  std::string why = sys::LastLibraryError();
  EXPECT_NE(why.find("Broken.so"), std::string::npos) << why;
  EXPECT_EQ(why.find("not found"), std::string::npos) << why;
}

TEST_F(LibraryTest, DirectoryIsNeverLoaded) {
  ASSERT_TRUE(fs::create_directory(temp_ + "/Folder.so"));
  ASSERT_TRUE(fs::create_directory(temp_ + "/TestOrderB.so"));
  sys::AddLibraryFolder(temp_.c_str());
  sys::AddLibraryFolder(kB.c_str());
  EXPECT_EQ(sys::LoadLibraryByName("Folder.dll"), nullptr);
  EXPECT_EQ(sys::LoadLibraryByName((temp_ + "/Folder.so").c_str()), nullptr);
  // A directory of the right name does not hide the library further on.
  sys::Library* library = sys::LoadLibraryByName("TestOrderB.dll");
  ASSERT_NE(library, nullptr) << sys::LastLibraryError();
  EXPECT_EQ(Call(library, "ProbeOrigin"), 2);
  sys::FreeLibraryByHandle(library);
}

TEST_F(LibraryTest, PathsAndLinksToOneFileAreOneLibrary) {
  sys::AddLibraryFolder(kA.c_str());
  sys::Library* byName = sys::LoadLibraryByName("TestCounter.dll");
  ASSERT_NE(byName, nullptr);
  ASSERT_TRUE(sys::SetCurrentDirectory(kCwd.c_str()));
  EXPECT_EQ(sys::LoadLibraryByName("../a/TestCounter.so"), byName);
  EXPECT_EQ(sys::LoadLibraryByName((kA + "/TestCounter.so").c_str()), byName);
  fs::create_symlink(kA + "/TestCounter.so", temp_ + "/Alias.so");
  sys::AddLibraryFolder(temp_.c_str());
  EXPECT_EQ(sys::LoadLibraryByName("Alias.dll"), byName);
  EXPECT_EQ(sys::LibraryUseCount(byName), 4);
  for (int i = 0; i < 4; ++i) sys::FreeLibraryByHandle(byName);
}

TEST_F(LibraryTest, SystemOrderComesLast) {
  sys::Library* library = sys::LoadLibraryByName("libm.so.6");
  ASSERT_NE(library, nullptr) << sys::LastLibraryError();
  EXPECT_EQ(sys::LibraryPath(library)[0], '/');
  EXPECT_NE(sys::LibrarySymbol(library, "cos"), nullptr);
  EXPECT_EQ(sys::LoadLibraryByName("libm.so.6"), library);
  EXPECT_EQ(sys::LibraryUseCount(library), 2);
  sys::FreeLibraryByHandle(library);
  sys::FreeLibraryByHandle(library);
}

TEST_F(LibraryTest, NullAndMissingSymbols) {
  sys::AddLibraryFolder(kA.c_str());
  sys::Library* library = sys::LoadLibraryByName("TestCounter.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(sys::LibrarySymbol(library, "NoSuchExport"), nullptr);
  EXPECT_EQ(sys::LibrarySymbol(library, nullptr), nullptr);
  EXPECT_EQ(sys::LibrarySymbol(nullptr, "ProbeNext"), nullptr);
  EXPECT_EQ(sys::LibraryUseCount(nullptr), 0);
  EXPECT_EQ(sys::LibraryNativeHandle(nullptr), nullptr);
  sys::FreeLibraryByHandle(nullptr);
  sys::FreeLibraryByHandle(library);
}

}  // namespace
