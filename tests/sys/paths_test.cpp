// Current directory, file kinds, the program folder and the case-insensitive
// lookup of a typed file name.
#include "sys/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tervane-paths-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    for (const char* name : {"A_EUR.dtb", "a_eur.dtb", "n_eur.DTB", "TERVANE.dat"})
      std::ofstream(dir_ + "/" + name) << "x";
    fs::create_directory(dir_ + "/Programs");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_;
};

TEST_F(PathsTest, FindFileIgnoringCase) {
  struct Case {
    const char* typed;
    const char* found;  // "" for no match
  } const cases[] = {
      {"A_EUR.dtb", "A_EUR.dtb"},  // exact
      {"a_eur.dtb", "a_eur.dtb"},  // exact, though another spelling exists
      {"A_Eur.DTB", "A_EUR.dtb"},  // several differ in case: the smallest name
      {"N_EUR.dtb", "n_eur.DTB"},  // only a different case exists
      {"tervane.DAT", "TERVANE.dat"},
      {"programs", "Programs"},  // folders are entries too
      {"S_EUR.dtb", ""},
      {"Programs/x", ""},  // one entry only
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string expected = *c.found ? dir_ + "/" + c.found : "";
    EXPECT_EQ(sys::FindFileIgnoringCase(dir_, c.typed), expected) << c.typed;
  }
  EXPECT_EQ(sys::FindFileIgnoringCase(dir_ + "/", "n_eur.dtb"), dir_ + "/n_eur.DTB");
  EXPECT_EQ(sys::FindFileIgnoringCase(dir_ + "/missing", "A_EUR.dtb"), "");
}

TEST_F(PathsTest, RelativeFolderAndCurrentDirectory) {
  std::string start = sys::CurrentDirectory();
  ASSERT_TRUE(sys::SetCurrentDirectory(dir_.c_str()));
  EXPECT_EQ(sys::CurrentDirectory(), fs::canonical(dir_).string());
  EXPECT_EQ(sys::FindFileIgnoringCase("", "tervane.dat"), "TERVANE.dat");
  EXPECT_EQ(sys::FindFileIgnoringCase("Programs", "x"), "");
  EXPECT_FALSE(sys::SetCurrentDirectory((dir_ + "/TERVANE.dat").c_str()));
  EXPECT_FALSE(sys::SetCurrentDirectory(""));
  EXPECT_FALSE(sys::SetCurrentDirectory(nullptr));
  ASSERT_TRUE(sys::SetCurrentDirectory(start.c_str()));
}

TEST_F(PathsTest, FileKinds) {
  EXPECT_TRUE(sys::IsDirectory(dir_.c_str()));
  EXPECT_FALSE(sys::IsRegularFile(dir_.c_str()));
  std::string file = dir_ + "/TERVANE.dat";
  EXPECT_TRUE(sys::IsRegularFile(file.c_str()));
  EXPECT_FALSE(sys::IsDirectory(file.c_str()));
  EXPECT_FALSE(sys::IsRegularFile((dir_ + "/none").c_str()));
  EXPECT_FALSE(sys::IsDirectory(nullptr));
  EXPECT_FALSE(sys::IsRegularFile(nullptr));
}

TEST_F(PathsTest, ProgramDirectoryIsTheExecutablesFolder) {
  std::string folder = sys::ProgramDirectory();
  EXPECT_EQ(folder, fs::canonical("/proc/self/exe").parent_path().string());
  EXPECT_NE(folder.back(), '/');
}

}  // namespace
