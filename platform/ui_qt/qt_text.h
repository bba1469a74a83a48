// Texts cross into Qt as UTF-8 and come back as Windows-1252, the system's own.
#pragma once

#include <QString>
#include <string>

#include "sys/text_codec.h"

namespace ui_qt {

inline QString ToQt(const std::string& cp1252) {
  return QString::fromStdString(sys::Cp1252ToUtf8(cp1252));
}

inline std::string FromQt(const QString& text) { return sys::Utf8ToCp1252(text.toStdString()); }

}  // namespace ui_qt
