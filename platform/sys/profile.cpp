// Private profile files: the parser, the in-place editor and the file I/O around
// them. Sections, in order:
//   1. lines: splitting a text into lines and classifying each one;
//   2. reading: lookup of a section's key;
//   3. writing: the edit of one key, and the text written back;
//   4. files: reading a whole file within bounds, replacing it through a temp file.
//
// The text is never parsed into a model that is written back: editing works on
// the file's own lines, so comments, blank lines, unknown lines, duplicate
// sections and overlong lines survive a write as they were.
#include "sys/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
#include <string>

namespace sys {

// ---- 1. lines ----

enum class LineKind { kBlank, kComment, kSection, kEntry, kOther };

struct ProfileLine {
  std::string_view raw;  // the whole line, without its line end
  LineKind kind;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // an entry's value, trimmed, quotes still on
  size_t equalsAt;         // an entry's '=' in `raw`
};

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

static std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

static bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

static ProfileLine ClassifyLine(std::string_view raw, bool first) {
  ProfileLine line{raw, LineKind::kOther, {}, {}, 0};
  std::string_view seen = raw.substr(0, kMaxProfileLineChars);
  size_t offset = 0;
  if (first && seen.substr(0, 3) == "\xEF\xBB\xBF") offset = 3;  // a UTF-8 mark
  std::string_view text = Trimmed(seen.substr(offset));
  if (text.empty()) {
    line.kind = LineKind::kBlank;
  } else if (text.front() == ';') {
    line.kind = LineKind::kComment;
  } else if (text.front() == '[') {
    // "[name]"; a header without its ']' names the rest of the line.
    std::string_view inside = text.substr(1);
    line.kind = LineKind::kSection;
    line.name = Trimmed(inside.substr(0, inside.find(']')));
  } else if (size_t equals = seen.find('=', offset); equals != std::string_view::npos) {
    line.name = Trimmed(seen.substr(offset, equals - offset));
    if (!line.name.empty()) {
      line.kind = LineKind::kEntry;
      line.value = Trimmed(seen.substr(equals + 1));
      line.equalsAt = equals;
    }
  }
  return line;
}

static std::vector<ProfileLine> SplitLines(std::string_view text) {
  std::vector<ProfileLine> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    lines.push_back(ClassifyLine(raw, lines.empty()));
  }
  return lines;
}

// The index of the header of the first section called `section`, or lines.size().
static size_t FindSection(const std::vector<ProfileLine>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == LineKind::kSection && SameName(lines[i].name, section)) return i;
  return lines.size();
}

// The index one past the last line of the section whose header is at `header`.
static size_t SectionEnd(const std::vector<ProfileLine>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::kSection) ++i;
  return i;
}

// The index of the first entry `key` of the section at `header`, or lines.size().
static size_t FindEntry(const std::vector<ProfileLine>& lines, size_t header,
                        std::string_view key) {
  size_t end = SectionEnd(lines, header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines[i].kind == LineKind::kEntry && SameName(lines[i].name, key)) return i;
  return lines.size();
}

// ---- 2. reading ----

// A stored value as the reader sees it: up to a NUL, without matching quotes.
static std::string_view ShownValue(std::string_view value) {
  value = value.substr(0, value.find('\0'));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

static std::string Cut(std::string_view text, size_t maxChars) {
  return std::string(text.substr(0, maxChars));
}

std::string FindProfileString(std::string_view text, const std::string& section,
                              const std::string& key, const std::string& fallback,
                              size_t maxChars) {
  if (text.size() > kMaxProfileBytes) return Cut(fallback, maxChars);
  std::vector<ProfileLine> lines = SplitLines(text);
  size_t header = FindSection(lines, Trimmed(section));
  if (header == lines.size()) return Cut(fallback, maxChars);
  size_t entry = FindEntry(lines, header, Trimmed(key));
  if (entry == lines.size()) return Cut(fallback, maxChars);
  return Cut(ShownValue(lines[entry].value), maxChars);
}

// The name as compared: ASCII letters in lower case.
static std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

// Adds `name` to `names` unless a name equal ignoring case is there already.
static void AddOnce(std::vector<std::string>* names, std::set<std::string>* seen,
                    std::string_view name) {
  if (seen->insert(Folded(name)).second) names->emplace_back(name);
}

std::vector<std::string> ProfileSectionNames(std::string_view text) {
  std::vector<std::string> names;
  if (text.size() > kMaxProfileBytes) return names;
  std::set<std::string> seen;
  for (const ProfileLine& line : SplitLines(text))
    if (line.kind == LineKind::kSection) AddOnce(&names, &seen, line.name);
  return names;
}

std::vector<std::string> ProfileKeyNames(std::string_view text, const std::string& section) {
  std::vector<std::string> names;
  if (text.size() > kMaxProfileBytes) return names;
  std::vector<ProfileLine> lines = SplitLines(text);
  size_t header = FindSection(lines, Trimmed(section));
  if (header == lines.size()) return names;
  std::set<std::string> seen;
  size_t end = SectionEnd(lines, header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines[i].kind == LineKind::kEntry) AddOnce(&names, &seen, lines[i].name);
  return names;
}

// ---- 3. writing ----

static bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A section name that reads back as itself from "[name]".
static bool StorableSection(std::string_view name) {
  return !name.empty() && !HasLineBreakOrNul(name) && name.find(']') == std::string_view::npos &&
         name.size() + 2 <= kMaxProfileLineChars;
}

// A key name that reads back as itself from "key=value".
static bool StorableKey(std::string_view key) {
  return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos &&
         key.front() != ';' && key.front() != '[';
}

bool SetProfileString(std::string* text, const std::string& section, const std::string& key,
                      const std::string& value) {
  std::string_view sectionName = Trimmed(section);
  std::string_view keyName = Trimmed(key);
  if (!text || text->size() > kMaxProfileBytes || !StorableSection(sectionName) ||
      !StorableKey(keyName) || HasLineBreakOrNul(value))
    return false;

  std::vector<ProfileLine> lines = SplitLines(*text);
  std::string entry = std::string(keyName) + "=" + value;
  std::vector<std::string_view> out;
  for (const ProfileLine& line : lines) out.push_back(line.raw);

  std::string header;
  size_t at = FindSection(lines, sectionName);
  if (at == lines.size()) {
    header = "[" + std::string(sectionName) + "]";
    out.push_back(header);
    out.push_back(entry);
  } else if (size_t found = FindEntry(lines, at, keyName); found != lines.size()) {
    // The key keeps its line, its spelling and its spacing; only the value changes.
    std::string_view raw = lines[found].raw;
    size_t valueAt = lines[found].equalsAt + 1;
    while (valueAt < raw.size() && IsBlank(raw[valueAt])) ++valueAt;
    entry = std::string(raw.substr(0, valueAt)) + value;
    out[found] = entry;
  } else {
    // After the section's last entry (or other content), so that blank lines and
    // comments that lead into the next section stay with it.
    size_t after = at;
    size_t end = SectionEnd(lines, at);
    for (size_t i = at + 1; i < end; ++i)
      if (lines[i].kind == LineKind::kEntry || lines[i].kind == LineKind::kOther) after = i;
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(after + 1), entry);
  }
  if (entry.size() > kMaxProfileLineChars) return false;  // it would not read back whole

  std::string written;
  size_t total = 0;
  for (std::string_view line : out) total += line.size() + 2;
  if (total > kMaxProfileBytes) return false;
  written.reserve(total);
  for (std::string_view line : out) {
    written.append(line);
    written.append("\r\n");
  }
  *text = std::move(written);
  return true;
}

// ---- 4. files ----

enum class FileRead { kRead, kMissing, kFailed };

static FileRead ReadWholeFile(const std::string& path, std::string* text) {
  text->clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? FileRead::kMissing : FileRead::kFailed;
  struct stat st;
  // A directory or a device is not a profile, and neither is anything larger
  // than any profile could be.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<unsigned long long>(st.st_size) > kMaxProfileBytes) {
    close(fd);
    return FileRead::kFailed;
  }
  char buffer[8192];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return FileRead::kFailed;
    }
    text->append(buffer, static_cast<size_t>(n));
    if (text->size() > kMaxProfileBytes) {  // grew while being read
      close(fd);
      return FileRead::kFailed;
    }
  }
  close(fd);
  return FileRead::kRead;
}

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback,
                              size_t maxChars) {
  std::string text;
  if (ReadWholeFile(path, &text) != FileRead::kRead) return Cut(fallback, maxChars);
  return FindProfileString(text, section, key, fallback, maxChars);
}

static bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The file a write replaces: a symbolic link is followed, so the link stays.
static std::string WriteTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return "";  // a dangling link: where it points is not ours to make
  std::string target = resolved;
  std::free(resolved);
  return target;
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  if (path.empty()) return false;
  std::string target = WriteTarget(path);
  if (target.empty()) return false;
  std::string text;
  FileRead state = ReadWholeFile(target, &text);
  if (state == FileRead::kFailed) return false;  // never overwrite what could not be read
  if (!SetProfileString(&text, section, key, value)) return false;

  static std::atomic<unsigned> counter{0};
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp =
        folder + "." + base + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    // A new file gets the usual mode through the umask; a replaced one keeps its own.
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  struct stat old;
  bool ok = true;
  if (state == FileRead::kRead && stat(target.c_str(), &old) == 0)
    ok = fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace sys
