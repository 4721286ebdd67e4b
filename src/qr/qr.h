// QR codes of a client's configuration, as phones scan them: encoded by libqrencode
// and written as PNG by libpng. The window and the command line share them, so a
// saved picture is the same from either.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rosgen::qr {

// The modules of a QR code, row by row.
struct Code {
  int size = 0;            // modules a side
  std::vector<bool> dark;  // size * size
  bool at(int x, int y) const { return dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + x]; }
};

// `bytes` as one 8-bit segment at error correction level M, in the smallest version that
// holds it; nothing when no version does (about 2,300 bytes).
std::optional<Code> encode(const std::string& bytes);

// The dark modules black on white, as an 8-bit grey PNG: `scale` pixels a module, with the quiet
// zone of four modules around it that readers need.
std::string png(const Code& code, int scale = 8);

}  // namespace rosgen::qr
