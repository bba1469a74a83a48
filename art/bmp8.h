// Writes an image as a Windows BMP of 8 bits per pixel with a 256-entry palette.
// An image of at most 256 colours keeps them exactly; a richer one is reduced.
#pragma once

#include <QImage>
#include <string>

namespace art {

std::string EncodeBmp8(const QImage& image);

}  // namespace art
