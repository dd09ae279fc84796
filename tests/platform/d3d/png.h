// A minimal PNG writer for test images: 8-bit RGBA, stored (uncompressed) deflate blocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testpng {

inline uint32_t crc(const unsigned char *data, size_t size, uint32_t c = 0xFFFFFFFFu) {
  for (size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return c;
}

inline void put32(std::vector<unsigned char> *out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out->push_back(static_cast<unsigned char>(v >> s));
}

inline void chunk(std::vector<unsigned char> *file, const char *type, const std::vector<unsigned char> &data) {
  put32(file, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  file->insert(file->end(), body.begin(), body.end());
  put32(file, crc(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

// Pixels are 0xAARRGGBB, row 0 at the top. The image is written opaque.
inline bool write(const std::string &path, const std::vector<uint32_t> &pixels, uint32_t width, uint32_t height) {
  std::vector<unsigned char> raw;
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t p = pixels[size_t(y) * width + x];
      raw.insert(raw.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                             static_cast<unsigned char>(p), 0xFF});
    }
  }
  std::vector<unsigned char> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.insert(z.end(), {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                       static_cast<unsigned char>(~n), static_cast<unsigned char>(~n >> 8)});
    z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
    if (raw.empty()) break;
  }
  put32(&z, (b << 16) | a);
  std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  put32(&header, width);
  put32(&header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  chunk(&file, "IHDR", header);
  chunk(&file, "IDAT", z);
  chunk(&file, "IEND", {});
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace testpng
