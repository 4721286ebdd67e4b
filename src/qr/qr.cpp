#include "qr/qr.h"

#include <png.h>
#include <qrencode.h>

#include <memory>
#include <stdexcept>

namespace rosgen::qr {

std::optional<Code> encode(const std::string& bytes) {
  std::unique_ptr<QRcode, decltype(&QRcode_free)> q(
      QRcode_encodeData(static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()), 0,
                        QR_ECLEVEL_M),
      &QRcode_free);
  if (!q) return std::nullopt;
  Code code;
  code.size = q->width;
  code.dark.resize(static_cast<std::size_t>(q->width) * static_cast<std::size_t>(q->width));
  // Bit 0 of each byte is the module's colour; the other bits say what the module is for.
  for (std::size_t i = 0; i < code.dark.size(); ++i) code.dark[i] = (q->data[i] & 1) != 0;
  return code;
}

std::string png(const Code& code, int scale) {
  constexpr int kQuiet = 4;
  const int side = (code.size + 2 * kQuiet) * scale;
  std::vector<png_byte> pixels(static_cast<std::size_t>(side) * static_cast<std::size_t>(side), 255);
  for (int y = 0; y < code.size; ++y) {
    for (int x = 0; x < code.size; ++x) {
      if (!code.at(x, y)) continue;
      for (int dy = 0; dy < scale; ++dy) {
        png_byte* row = &pixels[static_cast<std::size_t>((y + kQuiet) * scale + dy) * static_cast<std::size_t>(side)];
        for (int dx = 0; dx < scale; ++dx) row[(x + kQuiet) * scale + dx] = 0;
      }
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(side);
  image.height = static_cast<png_uint_32>(side);
  image.format = PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  // Asked once for the size, then written.
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
    throw std::runtime_error(std::string("libpng: ") + image.message);
  }
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr)) {
    throw std::runtime_error(std::string("libpng: ") + image.message);
  }
  out.resize(size);
  return out;
}

}  // namespace rosgen::qr
