#include "os/keys.h"

#include <sodium.h>

#include <stdexcept>

namespace rosgen::os {
namespace {

void need_sodium() {
  // Safe to call again; it picks the library's fastest code for this processor.
  if (sodium_init() < 0) throw std::runtime_error("libsodium could not start");
}

}  // namespace

Key x25519_public(const Key& secret) {
  need_sodium();
  Key out{};
  // Fails only for a secret whose public key would be all zeros, which X25519 never makes.
  if (crypto_scalarmult_base(out.data(), secret.data()) != 0) throw std::runtime_error("X25519 failed");
  return out;
}

std::vector<KeyPair> new_key_pairs(std::size_t n) {
  need_sodium();
  std::vector<KeyPair> pairs(n);
  for (KeyPair& p : pairs) {
    randombytes_buf(p.secret.data(), p.secret.size());
    p.public_key = x25519_public(p.secret);
  }
  return pairs;
}

}  // namespace rosgen::os
