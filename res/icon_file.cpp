#include "icon_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace kestrum::res {
namespace {

constexpr int kColours = 16;  // 4 bits per pixel
constexpr int kBitsPerPixel = 4;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kDirectoryEntrySize = 16;
constexpr std::uint32_t kDirectoryHeaderSize = 6;

using Rgb = std::array<std::uint8_t, 3>;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::string> rows;               ///< one character per pixel, top row first
  std::map<char, std::optional<Rgb>> colours;  ///< nothing: transparent ("None")
};

/** The quoted strings of an XPM file, in order. */
std::vector<std::string> XpmStrings(const std::string& text) {
  std::vector<std::string> strings;
  for (std::size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open)) {
    const std::size_t close = text.find('"', open + 1);
    if (close == std::string::npos) throw std::invalid_argument("XPM: unterminated string");
    strings.push_back(text.substr(open + 1, close - open - 1));
    open = close + 1;
  }
  return strings;
}

std::optional<Rgb> ReadColour(const std::string& colour) {
  if (colour == "None") return std::nullopt;
  if (colour.size() != 7 || colour[0] != '#') throw std::invalid_argument("XPM: colours must be #RRGGBB or None");
  const unsigned long rgb = std::stoul(colour.substr(1), nullptr, 16);
  return Rgb{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
}

Image ReadXpm(const std::string& text) {
  const std::vector<std::string> strings = XpmStrings(text);
  Image image;
  int colourCount = 0;
  int charsPerPixel = 0;
  if (strings.empty() ||
      !(std::istringstream(strings[0]) >> image.width >> image.height >> colourCount >> charsPerPixel) ||
      charsPerPixel != 1 || image.width <= 0 || image.width > 256 || image.height <= 0 || image.height > 256 ||
      colourCount < 0 || strings.size() != static_cast<std::size_t>(1 + colourCount + image.height)) {
    throw std::invalid_argument("XPM: expected one character per pixel and a complete image of up to 256 x 256");
  }
  for (int n = 1; n <= colourCount; ++n) {
    const std::string& line = strings[n];
    if (line.size() < 4 || line.compare(1, 3, " c ") != 0) throw std::invalid_argument("XPM: bad colour line");
    image.colours[line[0]] = ReadColour(line.substr(4));
  }
  image.rows.assign(strings.begin() + 1 + colourCount, strings.end());
  for (const std::string& row : image.rows) {
    if (row.size() != static_cast<std::size_t>(image.width)) throw std::invalid_argument("XPM: bad row length");
    for (const char pixel : row) {
      if (!image.colours.count(pixel)) throw std::invalid_argument("XPM: pixel of no colour");
    }
  }
  return image;
}

void Put8(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
}
void Put16(std::string& out, unsigned value) {
  Put8(out, value);
  Put8(out, value >> 8);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

/** Bytes of one bitmap row, padded to whole 32-bit words. */
std::uint32_t RowBytes(int width, int bitsPerPixel) {
  return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

/**
 * The image as an icon resource: a bitmap header of double height (colour bitmap and
 * mask), the palette, the 4-bit colour bitmap and the 1-bit mask, both bottom row first.
 * Palette entry 0 is black and stands under transparent pixels, so that drawing the
 * colour bitmap over the masked screen leaves it as it was.
 */
std::string IconImage(const Image& image) {
  std::vector<Rgb> palette{Rgb{0, 0, 0}};
  std::map<char, unsigned> index;
  for (const auto& [key, colour] : image.colours) {
    if (!colour) {
      index[key] = 0;
      continue;
    }
    const auto known = std::find(palette.begin(), palette.end(), *colour);
    index[key] = static_cast<unsigned>(known - palette.begin());
    if (known == palette.end()) palette.push_back(*colour);
  }
  if (palette.size() > kColours) throw std::invalid_argument("XPM: more than 15 colours for a 16-colour icon");
  palette.resize(kColours, Rgb{0, 0, 0});

  const std::uint32_t colourRow = RowBytes(image.width, kBitsPerPixel);
  const std::uint32_t maskRow = RowBytes(image.width, 1);
  std::string out;
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(image.width));
  Put32(out, static_cast<std::uint32_t>(2 * image.height));
  Put16(out, 1);  // planes
  Put16(out, kBitsPerPixel);
  Put32(out, 0);  // no compression
  Put32(out, (colourRow + maskRow) * static_cast<std::uint32_t>(image.height));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);  // colours used: all that the bit count allows
  Put32(out, 0);
  for (const Rgb& rgb : palette) {
    Put8(out, rgb[2]);
    Put8(out, rgb[1]);
    Put8(out, rgb[0]);
    Put8(out, 0);
  }
  for (auto row = image.rows.rbegin(); row != image.rows.rend(); ++row) {
    std::string bits(colourRow, '\0');
    for (std::size_t x = 0; x < row->size(); ++x) {
      bits[x / 2] = static_cast<char>(bits[x / 2] | index.at((*row)[x]) << (x % 2 ? 0 : 4));
    }
    out += bits;
  }
  for (auto row = image.rows.rbegin(); row != image.rows.rend(); ++row) {
    std::string bits(maskRow, '\0');
    for (std::size_t x = 0; x < row->size(); ++x) {
      if (!image.colours.at((*row)[x])) bits[x / 8] = static_cast<char>(bits[x / 8] | 0x80 >> (x % 8));
    }
    out += bits;
  }
  return out;
}

}  // namespace

std::string IconFileFromXpm(const std::vector<std::string>& xpmTexts) {
  std::vector<Image> images;
  for (const std::string& text : xpmTexts) images.push_back(ReadXpm(text));
  std::vector<std::string> bodies;
  for (const Image& image : images) bodies.push_back(IconImage(image));

  std::string out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<unsigned>(images.size()));
  auto offset = static_cast<std::uint32_t>(kDirectoryHeaderSize + kDirectoryEntrySize * images.size());
  for (std::size_t n = 0; n < images.size(); ++n) {
    Put8(out, static_cast<unsigned>(images[n].width % 256));  // 0 stands for 256
    Put8(out, static_cast<unsigned>(images[n].height % 256));
    Put8(out, kColours);
    Put8(out, 0);
    Put16(out, 1);
    Put16(out, kBitsPerPixel);
    Put32(out, static_cast<std::uint32_t>(bodies[n].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(bodies[n].size());
  }
  for (const std::string& body : bodies) out += body;
  return out;
}

}  // namespace kestrum::res
