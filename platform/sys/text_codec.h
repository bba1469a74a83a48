// Texts inside the system are 8-bit Windows-1252. These convert at the edges that
// need UTF-8: JSON traces, terminal output, Qt strings.
#pragma once

#include <string>
#include <string_view>

namespace sys {

std::string Cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 byte become '?'; invalid UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace sys
