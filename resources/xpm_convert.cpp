// Build-time helper: writes one of our XPM pictures as PNG (icon themes) or ICO (Windows).
// Standard C++ only, so it runs at build time without finding the toolkit's libraries.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // row by row from the top
};

// Reads the XPM subset draw_pictures.py writes: one character per pixel, "c #RRGGBB" or "c None".
Image readXpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  std::vector<std::string> strings;
  for (std::size_t open = text.find('"'); open != std::string::npos;) {
    const std::size_t close = text.find('"', open + 1);
    if (close == std::string::npos) throw std::runtime_error("unterminated string in " + path);
    strings.push_back(text.substr(open + 1, close - open - 1));
    open = text.find('"', close + 1);
  }
  if (strings.empty()) throw std::runtime_error(path + " holds no XPM data");

  Image image;
  int colours = 0;
  int charsPerPixel = 0;
  std::istringstream(strings[0]) >> image.width >> image.height >> colours >> charsPerPixel;
  if (charsPerPixel != 1 || image.width <= 0 || image.height <= 0 ||
      strings.size() != static_cast<std::size_t>(1 + colours + image.height)) {
    throw std::runtime_error(path + " is not a one-character-per-pixel XPM");
  }
  std::map<char, std::uint32_t> palette;
  for (int i = 1; i <= colours; ++i) {
    const std::string& entry = strings[static_cast<std::size_t>(i)];
    const std::string value = entry.substr(entry.rfind(' ') + 1);
    palette[entry[0]] =
        value == "None" ? 0u : 0xFF000000u | std::stoul(value.substr(1), nullptr, 16);
  }
  for (int row = 0; row < image.height; ++row) {
    const std::string& line = strings[static_cast<std::size_t>(1 + colours + row)];
    if (line.size() != static_cast<std::size_t>(image.width)) {
      throw std::runtime_error(path + ": row " + std::to_string(row) + " has the wrong width");
    }
    for (char key : line) image.argb.push_back(palette.at(key));
  }
  return image;
}

void put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
void put32BigEndian(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::uint32_t crc32(const std::string& data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char byte : data) c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void pngChunk(std::string& out, const char* type, const std::string& data) {
  put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = type + data;
  out += typed;
  put32BigEndian(out, crc32(typed));
}

// The pictures are tiny, so the zlib stream uses stored (uncompressed) blocks.
std::string png(const Image& image) {
  std::string raw;
  for (int row = 0; row < image.height; ++row) {
    raw += '\0';  // no filter
    for (int col = 0; col < image.width; ++col) {
      const std::uint32_t p = image.argb[static_cast<std::size_t>(row * image.width + col)];
      for (int shift : {16, 8, 0, 24}) raw += static_cast<char>((p >> shift) & 0xFF);
    }
  }
  std::string zlib = "\x78\x01";
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    zlib += static_cast<char>(at + length == raw.size() ? 1 : 0);
    put16(zlib, static_cast<std::uint32_t>(length));
    put16(zlib, static_cast<std::uint32_t>(~length & 0xFFFF));
    zlib += raw.substr(at, length);
  }
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32BigEndian(zlib, (b << 16) | a);

  std::string header;
  put32BigEndian(header, static_cast<std::uint32_t>(image.width));
  put32BigEndian(header, static_cast<std::uint32_t>(image.height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace

  std::string out = "\x89PNG\r\n\x1a\n";
  pngChunk(out, "IHDR", header);
  pngChunk(out, "IDAT", zlib);
  pngChunk(out, "IEND", {});
  return out;
}

// One 32-bit image with its AND mask, bottom row first as in any Windows bitmap.
std::string ico(const Image& image) {
  const auto w = static_cast<std::uint32_t>(image.width);
  const auto h = static_cast<std::uint32_t>(image.height);
  const std::uint32_t maskStride = (w + 31) / 32 * 4;
  std::string bitmap;
  put32(bitmap, 40);
  put32(bitmap, w);
  put32(bitmap, h * 2);  // colour and mask together
  put16(bitmap, 1);
  put16(bitmap, 32);
  put32(bitmap, 0);
  put32(bitmap, w * h * 4 + maskStride * h);
  for (int i = 0; i < 4; ++i) put32(bitmap, 0);
  for (int row = image.height - 1; row >= 0; --row) {
    for (int col = 0; col < image.width; ++col) {
      put32(bitmap, image.argb[static_cast<std::size_t>(row * image.width + col)]);
    }
  }
  for (int row = image.height - 1; row >= 0; --row) {
    std::string mask(maskStride, '\0');
    for (int col = 0; col < image.width; ++col) {
      if ((image.argb[static_cast<std::size_t>(row * image.width + col)] >> 24) == 0) {
        mask[static_cast<std::size_t>(col / 8)] |= static_cast<char>(0x80 >> (col % 8));
      }
    }
    bitmap += mask;
  }

  std::string out;
  put16(out, 0);
  put16(out, 1);  // icon
  put16(out, 1);  // one image
  out += static_cast<char>(w >= 256 ? 0 : w);
  out += static_cast<char>(h >= 256 ? 0 : h);
  out += std::string("\0\0", 2);
  put16(out, 1);
  put16(out, 32);
  put32(out, static_cast<std::uint32_t>(bitmap.size()));
  put32(out, 22);
  return out + bitmap;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3 || !(endsWith(argv[2], ".png") || endsWith(argv[2], ".ico"))) {
    std::fprintf(stderr, "usage: taloma_xpm_convert <picture.xpm> <output.png|output.ico>\n");
    return 2;
  }
  try {
    const Image image = readXpm(argv[1]);
    const std::string out{argv[2]};
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << (endsWith(out, ".png") ? png(image) : ico(image));
    if (!file.flush()) throw std::runtime_error("cannot write " + out);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "taloma_xpm_convert: %s\n", error.what());
    return 1;
  }
  return 0;
}
