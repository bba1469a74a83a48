#include "bmp8.h"

#include <QHash>
#include <cstdint>

namespace art {

static void PutU16(std::string& out, uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}

static void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// Indexed image with the exact colours when there are at most 256 of them.
static QImage ToIndexed8(const QImage& source) {
  QImage rgb = source.convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> index;
  QVector<QRgb> table;
  for (int y = 0; y < rgb.height() && table.size() <= 256; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      QRgb c = line[x] | 0xFF000000u;
      if (!index.contains(c)) {
        index.insert(c, table.size());
        table.push_back(c);
        if (table.size() > 256) break;
      }
    }
  }
  if (table.size() <= 256) {
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < rgb.height(); ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
      uchar* dst = out.scanLine(y);
      for (int x = 0; x < rgb.width(); ++x) dst[x] = uchar(index.value(line[x] | 0xFF000000u));
    }
    return out;
  }
  return rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

std::string EncodeBmp8(const QImage& image) {
  QImage indexed = ToIndexed8(image);
  const int width = indexed.width(), height = indexed.height();
  const uint32_t stride = (uint32_t(width) + 3u) & ~3u;
  const uint32_t paletteBytes = 256 * 4;
  const uint32_t dataOffset = 14 + 40 + paletteBytes;
  const uint32_t imageBytes = stride * uint32_t(height);
  std::string out;
  out.reserve(dataOffset + imageBytes);
  out += "BM";
  PutU32(out, dataOffset + imageBytes);
  PutU32(out, 0);
  PutU32(out, dataOffset);
  PutU32(out, 40);  // BITMAPINFOHEADER
  PutU32(out, uint32_t(width));
  PutU32(out, uint32_t(height));  // positive: rows bottom-up
  PutU16(out, 1);
  PutU16(out, 8);
  PutU32(out, 0);  // BI_RGB
  PutU32(out, imageBytes);
  PutU32(out, 2835);
  PutU32(out, 2835);
  PutU32(out, 256);
  PutU32(out, 0);
  QVector<QRgb> table = indexed.colorTable();
  for (int i = 0; i < 256; ++i) {
    QRgb c = i < table.size() ? table[i] : 0;
    out.push_back(char(qBlue(c)));
    out.push_back(char(qGreen(c)));
    out.push_back(char(qRed(c)));
    out.push_back(0);
  }
  for (int y = height - 1; y >= 0; --y) {
    const uchar* line = indexed.constScanLine(y);
    out.append(reinterpret_cast<const char*>(line), size_t(width));
    out.append(stride - uint32_t(width), '\0');
  }
  return out;
}

}  // namespace art
