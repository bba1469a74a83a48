// Private profile (INI) files: sections of "key=value" lines, read with a fallback
// and a length limit, written in place with every other line kept.
//
// Reading: section and key names match ignoring ASCII case, spaces and tabs around
// names and values are ignored, a value wrapped in matching quotes loses them, and
// the first section and the first key of a name count. A present key with an empty
// value gives "", not the fallback. Lines end in CR LF or LF; ';' starts a comment
// line. Only the first kMaxProfileLineChars characters of a line are looked at.
//
// Writing replaces the value of an existing key on its own line, or adds the key
// after the last entry of its section, or adds the section at the end of the file;
// every other line stays as it was, in its order. Written lines end in CR LF. The
// file is replaced through a temporary file in the same folder, so a failed write
// leaves the old file whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

constexpr size_t kMaxProfileLineChars = 4096;  // longer lines are cut when read
constexpr size_t kMaxProfileBytes = 1u << 20;  // larger files are not profiles

// The value of `key` in `section` of the file at `path`, at most `maxChars`
// characters; `fallback` (cut the same way) when the file, section or key is
// missing or the file cannot be read.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback, size_t maxChars);

// Sets `key` in `section` to `value`, creating the file and the section when
// missing. False, with the file untouched, when it cannot be read or written, or
// when a name or the value cannot be stored: an empty name, a line break or NUL,
// '=' or a leading ';' or '[' in a key, ']' in a section, a line too long to read.
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

// The same on a profile's text in memory.
std::string FindProfileString(std::string_view text, const std::string& section,
                              const std::string& key, const std::string& fallback, size_t maxChars);
bool SetProfileString(std::string* text, const std::string& section, const std::string& key,
                      const std::string& value);

// The section names in file order, and the key names of the first section called
// `section`, each name once (its first spelling).
std::vector<std::string> ProfileSectionNames(std::string_view text);
std::vector<std::string> ProfileKeyNames(std::string_view text, const std::string& section);

}  // namespace sys
