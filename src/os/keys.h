// X25519 key pairs for WireGuard, made with libsodium: the curve arithmetic is the
// library's, never the program's own.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "script/env.h"

namespace rosgen::os {

using Key = std::array<std::uint8_t, 32>;

// The public key of `secret` (RFC 7748's X25519 of the base point).
Key x25519_public(const Key& secret);

// `n` key pairs whose secrets come from the system's secure random source.
std::vector<KeyPair> new_key_pairs(std::size_t n);

}  // namespace rosgen::os
