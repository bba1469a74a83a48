// Private profile files: lookups with fallbacks and limits, in-place edits that
// keep everything else, and the file handling around them (creation, temp file
// and rename, links, refusals).
#include "sys/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

using namespace std::string_literals;  // "...\0..."s keeps embedded NULs

struct ReadCase {
  const char* what;
  std::string text;
  const char* section;
  const char* key;
  const char* fallback;
  size_t maxChars;
  std::string expected;
};

TEST(ProfileReadTest, Lookups) {
  const std::string longValue(5000, 'x');
  const ReadCase cases[] = {
      {"present", "[DtbFileName]\r\nButton4=EUR\r\n", "DtbFileName", "Button4", "dflt", 20, "EUR"},
      {"missing section", "[Other]\r\nButton4=EUR\r\n", "DtbFileName", "Button4", "dflt", 20,
       "dflt"},
      {"missing key", "[DtbFileName]\r\nButton3=SAM\r\n", "DtbFileName", "Button4", "dflt", 20,
       "dflt"},
      {"empty text", "", "S", "k", "dflt", 20, "dflt"},
      {"present and empty is not the fallback", "[S]\r\nk=\r\n", "S", "k", "dflt", 20, ""},
      {"value cut to the limit", "[S]\r\nk=ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n", "S", "k", "", 20,
       "ABCDEFGHIJKLMNOPQRST"},
      {"fallback cut to the limit", "", "S", "k", "N-America AK and more", 15, "N-America AK an"},
      {"limit 0", "[S]\r\nk=v\r\n", "S", "k", "dflt", 0, ""},
      {"names ignore case", "[dtbfilename]\r\nBUTTON1=NAMa-k\r\n", "DtbFileName", "Button1", "", 20,
       "NAMa-k"},
      {"value keeps its case", "[S]\r\nk=NAMa-k\r\n", "s", "K", "", 20, "NAMa-k"},
      {"LF lines", "[S]\nk=v\nj=w\n", "S", "j", "", 20, "w"},
      {"no line end at the end", "[S]\r\nk=v", "S", "k", "", 20, "v"},
      {"spaces around names and values", "  [ S ]  \r\n\t k \t=  v w  \r\n", "S", "k", "", 20,
       "v w"},
      {"quotes come off", "[S]\r\nk=\"Custom #1\"\r\n", "S", "k", "", 20, "Custom #1"},
      {"single quotes too", "[S]\r\nk='x'\r\n", "S", "k", "", 20, "x"},
      {"an unmatched quote stays", "[S]\r\nk=\"x\r\n", "S", "k", "", 20, "\"x"},
      {"'=' inside a value", "[S]\r\nk=a=b\r\n", "S", "k", "", 20, "a=b"},
      {"';' inside a value stays", "[S]\r\nk=v ; not a comment\r\n", "S", "k", "", 40,
       "v ; not a comment"},
      {"comment line is no key", "[S]\r\n;k=v\r\n", "S", "k", "dflt", 20, "dflt"},
      {"key before any section", "k=v\r\n[S]\r\n", "S", "k", "dflt", 20, "dflt"},
      {"line without '='", "[S]\r\nk\r\n", "S", "k", "dflt", 20, "dflt"},
      {"key of another section", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "B", "k", "", 20, "2"},
      {"first of duplicate keys", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "", 20, "1"},
      {"first of duplicate sections", "[S]\r\nj=1\r\n[s]\r\nk=2\r\n", "S", "k", "dflt", 20, "dflt"},
      {"header without ']'", "[S\r\nk=v\r\n", "S", "k", "", 20, "v"},
      {"text after ']'", "[S] old\r\nk=v\r\n", "S", "k", "", 20, "v"},
      {"UTF-8 mark before the first line", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "", 20, "v"},
      {"Windows-1252 bytes kept", "[S]\r\nk=50\xBA N\r\n", "S", "k", "", 20, "50\xBA N"},
      {"value ends at a NUL", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "", 20, "ab"},
      {"binary junk around", "\xFF\xFE\0\x01\r\n[S]\r\n\x80\x81\0=\r\nk=v\r\n\0\0\0"s, "S", "k", "",
       20, "v"},
      {"overlong line cut when read", "[S]\r\nk=" + longValue + "\r\nj=after\r\n", "S", "k", "",
       100000, std::string(sys::kMaxProfileLineChars - 2, 'x')},
      {"line after an overlong one", "[S]\r\nk=" + longValue + "\r\nj=after\r\n", "S", "j", "", 20,
       "after"},
      {"no key past the cut", "[S]\r\n" + longValue + "k=v\r\n", "S", "k", "dflt", 20, "dflt"},
  };
  for (const ReadCase& c : cases)
    EXPECT_EQ(sys::FindProfileString(c.text, c.section, c.key, c.fallback, c.maxChars), c.expected)
        << c.what;
}

struct WriteCase {
  const char* what;
  std::string before;
  const char* section;
  const char* key;
  std::string value;
  std::string after;
};

TEST(ProfileWriteTest, Edits) {
  const WriteCase cases[] = {
      {"new file", "", "DtbFileName", "Button1", "NAMa-k", "[DtbFileName]\r\nButton1=NAMa-k\r\n"},
      {"new key after the last of its section", "[A]\r\nk1=1\r\n\r\n[B]\r\nx=1\r\n", "A", "k2", "2",
       "[A]\r\nk1=1\r\nk2=2\r\n\r\n[B]\r\nx=1\r\n"},
      {"new key before what leads into the next section", "[A]\nk=1\n\n; about B\n[B]\n", "A", "j",
       "x", "[A]\r\nk=1\r\nj=x\r\n\r\n; about B\r\n[B]\r\n"},
      {"new key into an empty section", "[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
      {"value replaced in place, spelling kept", "[A]\r\nKey=old\r\nz=1\r\n", "a", "KEY", "new",
       "[A]\r\nKey=new\r\nz=1\r\n"},
      {"spacing before the value kept", "[A]\nk = old\n", "A", "k", "new", "[A]\r\nk = new\r\n"},
      {"everything else kept, LF lines written CR LF", "; top\n[A]\nk=1\n; c\nodd line\n[B]\nk=2\n",
       "B", "k", "3", "; top\r\n[A]\r\nk=1\r\n; c\r\nodd line\r\n[B]\r\nk=3\r\n"},
      {"new section at the end, after a last line without its end", "[A]\nk=1", "B", "k", "2",
       "[A]\r\nk=1\r\n[B]\r\nk=2\r\n"},
      {"empty value", "[A]\r\nk=old\r\n", "A", "k", "", "[A]\r\nk=\r\n"},
      {"first of duplicate sections", "[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "A", "k", "9",
       "[A]\r\nk=9\r\n[a]\r\nk=2\r\n"},
      {"junk lines survive", "\xFF\0junk\r\n[A]\r\nk=1\r\n"s, "A", "k", "2",
       "\xFF\0junk\r\n[A]\r\nk=2\r\n"s},
      {"a UTF-8 mark stays first", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2",
       "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
  };
  for (const WriteCase& c : cases) {
    std::string text = c.before;
    ASSERT_TRUE(sys::SetProfileString(&text, c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(text, c.after) << c.what;
    EXPECT_EQ(sys::FindProfileString(text, c.section, c.key, "dflt", 100), c.value) << c.what;
  }
}

TEST(ProfileWriteTest, RefusesWhatWouldNotReadBack) {
  struct Refusal {
    const char* what;
    std::string section, key, value;
  };
  const Refusal cases[] = {
      {"empty section", "", "k", "v"},
      {"blank section", "  ", "k", "v"},
      {"empty key", "S", "", "v"},
      {"']' in a section", "a]b", "k", "v"},
      {"'=' in a key", "S", "a=b", "v"},
      {"key that reads as a comment", "S", ";k", "v"},
      {"key that reads as a section", "S", "[k", "v"},
      {"line break in a value", "S", "k", "a\r\nk2=b"},
      {"line break in a key", "S", "a\nb", "v"},
      {"NUL in a value", "S", "k", "a\0b"s},
      {"line too long to read back", "S", "k", std::string(sys::kMaxProfileLineChars, 'v')},
  };
  const std::string before = "[S]\r\nk=old\r\n";
  for (const Refusal& c : cases) {
    std::string text = before;
    EXPECT_FALSE(sys::SetProfileString(&text, c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(text, before) << c.what;
  }
  EXPECT_FALSE(sys::SetProfileString(nullptr, "S", "k", "v"));
}

TEST(ProfileTest, NamesInFileOrder) {
  const std::string text = "[B]\r\nk2=1\r\nk1=2\r\nK2=3\r\n[A]\r\nx=1\r\n[b]\r\nz=1\r\n";
  EXPECT_EQ(sys::ProfileSectionNames(text), (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(sys::ProfileKeyNames(text, "b"), (std::vector<std::string>{"k2", "k1"}));
  EXPECT_TRUE(sys::ProfileKeyNames(text, "C").empty());
}

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tervane-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/TervData.ini";
  }
  void TearDown() override { fs::remove_all(dir_); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Spill(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string dir_, path_;
};

// The data manager's closing: 24 keys into a missing file, then the same again.
TEST_F(ProfileFileTest, ConfigurationWrittenAtClosing) {
  EXPECT_EQ(sys::ReadProfileString(path_, "DtbFileName", "Button4", "EUR", 20), "EUR");
  std::string expected = "[DtbFileName]\r\n";
  for (int i = 1; i <= 12; ++i) {
    std::string key = "Button" + std::to_string(i);
    ASSERT_TRUE(sys::WriteProfileString(path_, "DtbFileName", key, "KEY" + std::to_string(i)));
    expected += key + "=KEY" + std::to_string(i) + "\r\n";
  }
  expected += "[ButtonName]\r\n";
  for (int i = 1; i <= 12; ++i) {
    std::string key = "Button" + std::to_string(i);
    ASSERT_TRUE(sys::WriteProfileString(path_, "ButtonName", key, "Name " + std::to_string(i)));
    expected += key + "=Name " + std::to_string(i) + "\r\n";
  }
  EXPECT_EQ(Slurp(path_), expected);
  EXPECT_EQ(Entries(), std::vector<std::string>{"TervData.ini"}) << "no temp file left";

  for (int i = 1; i <= 12; ++i) {
    std::string key = "Button" + std::to_string(i);
    ASSERT_TRUE(sys::WriteProfileString(path_, "DtbFileName", key, "KEY" + std::to_string(i)));
    ASSERT_TRUE(sys::WriteProfileString(path_, "ButtonName", key, "Name " + std::to_string(i)));
  }
  EXPECT_EQ(Slurp(path_), expected) << "rewriting the same values changes nothing";
  EXPECT_EQ(sys::ReadProfileString(path_, "buttonname", "BUTTON12", "", 15), "Name 12");
}

TEST_F(ProfileFileTest, ReplacedFileKeepsItsMode) {
  Spill(path_, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  ASSERT_TRUE(sys::WriteProfileString(path_, "S", "k", "2"));
  struct stat st;
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(sys::ReadProfileString(path_, "S", "k", "", 20), "2");
}

TEST_F(ProfileFileTest, LinkIsFollowedAndKept) {
  std::string real = dir_ + "/real.ini";
  Spill(real, "[S]\r\nk=1\r\n");
  fs::create_symlink(real, path_);
  ASSERT_TRUE(sys::WriteProfileString(path_, "S", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(Slurp(real), "[S]\r\nk=2\r\n");
}

TEST_F(ProfileFileTest, FailuresLeaveEverythingAsItWas) {
  // A directory in the file's place.
  fs::create_directory(path_);
  EXPECT_EQ(sys::ReadProfileString(path_, "S", "k", "dflt", 20), "dflt");
  EXPECT_FALSE(sys::WriteProfileString(path_, "S", "k", "v"));
  EXPECT_TRUE(fs::is_directory(path_));
  fs::remove(path_);

  // A folder that does not exist is not made.
  EXPECT_FALSE(sys::WriteProfileString(dir_ + "/none/TervData.ini", "S", "k", "v"));
  EXPECT_FALSE(fs::exists(dir_ + "/none"));
  EXPECT_FALSE(sys::WriteProfileString("", "S", "k", "v"));

  // A file too large to be a profile is neither read nor replaced.
  std::string big = "[S]\r\nk=v\r\n" + std::string(sys::kMaxProfileBytes, ';');
  Spill(path_, big);
  EXPECT_EQ(sys::ReadProfileString(path_, "S", "k", "dflt", 20), "dflt");
  EXPECT_FALSE(sys::WriteProfileString(path_, "S", "k", "w"));
  EXPECT_EQ(fs::file_size(path_), big.size());

  // A file that cannot be read is not overwritten (root reads anything).
  if (geteuid() != 0) {
    Spill(path_, "[S]\r\nk=1\r\n");
    ASSERT_EQ(chmod(path_.c_str(), 0200), 0);
    EXPECT_FALSE(sys::WriteProfileString(path_, "S", "k", "2"));
    chmod(path_.c_str(), 0600);
    EXPECT_EQ(Slurp(path_), "[S]\r\nk=1\r\n");
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"TervData.ini"});
}

TEST_F(ProfileFileTest, UnwritableFolderFailsCleanly) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  Spill(path_, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(dir_.c_str(), 0500), 0);
  EXPECT_FALSE(sys::WriteProfileString(path_, "S", "k", "2"));
  chmod(dir_.c_str(), 0700);
  EXPECT_EQ(Slurp(path_), "[S]\r\nk=1\r\n");
}

}  // namespace
