// Fuzz target for the profile (INI) parser and editor. The input is a profile's
// text. Every lookup must stay within its limit, and one edit must change exactly
// the value it sets: every other section's and key's value reads as before.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sys/profile.h"

static constexpr size_t kMaxCheckedKeys = 16;

static void Check(bool condition) {
  if (!condition) std::abort();
}

static bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1u << 16) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);

  // Every (section, key) the text holds, up to a bound that keeps runs fast, with
  // the value it reads as.
  std::vector<std::pair<std::string, std::string>> names;
  for (const std::string& section : sys::ProfileSectionNames(text))
    for (const std::string& key : sys::ProfileKeyNames(text, section))
      if (names.size() < kMaxCheckedKeys) names.emplace_back(section, key);
  std::vector<std::string> before;
  for (const auto& [section, key] : names) {
    std::string value = sys::FindProfileString(text, section, key, "", sys::kMaxProfileLineChars);
    Check(value.size() <= sys::kMaxProfileLineChars);
    Check(sys::FindProfileString(text, section, key, "", 3).size() <= 3);
    before.push_back(value);
  }

  // The edit: a section and key picked by the input's first byte, from the text's
  // own names and the data manager's.
  const char* const sections[] = {"DtbFileName", "ButtonName", "New"};
  const char* const keys[] = {"Button1", "Button12", "k"};
  unsigned pick = size ? data[0] : 0;
  std::string section = sections[pick % 3];
  std::string key = keys[(pick / 3) % 3];
  if ((pick & 0x80) && !names.empty()) {
    section = names[pick % names.size()].first;
    key = names[pick % names.size()].second;
  }
  const std::string value = (pick & 0x40) ? "" : "Custom #1";

  std::string edited = text;
  if (!sys::SetProfileString(&edited, section, key, value)) return 0;
  Check(sys::FindProfileString(edited, section, key, "dflt", 100) == value);
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameName(names[i].first, section) && SameName(names[i].second, key)) continue;
    Check(sys::FindProfileString(edited, names[i].first, names[i].second, "",
                                 sys::kMaxProfileLineChars) == before[i]);
  }

  // Setting the same value again changes nothing more.
  std::string again = edited;
  Check(sys::SetProfileString(&again, section, key, value));
  Check(again == edited);
  return 0;
}
