// Everything a generator needs from the outside world. The window, the
// command line and the tests each provide their own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "script/gbk.h"

namespace rosgen {

struct Date {
  int year = 1970;
  int month = 1;
  int day = 1;
};

// An X25519 key pair as WireGuard uses it: 32 bytes each.
struct KeyPair {
  std::array<std::uint8_t, 32> secret{};
  std::array<std::uint8_t, 32> public_key{};
};

// The caption of a message box when none is given.
inline constexpr const char* kInfoCaption = "信息：";

class Env {
 public:
  virtual ~Env() = default;

  // A modal message box with an OK button; text and caption in UTF-8.
  virtual void message(const std::string& text, const std::string& caption) = 0;
  // An input box; the confirmed text, or nothing when it was cancelled.
  virtual std::optional<Gbk> input_box(const std::string& prompt, const std::string& title, const Gbk& initial) = 0;
  // Hands an address (web, mail, link scheme) to the desktop; failures are not reported.
  virtual void open_address(const std::string& address) = 0;
  // The folder of the program file.
  virtual std::filesystem::path program_dir() = 0;
  // The per-user data folder, for files the program folder cannot take.
  virtual std::filesystem::path user_data_dir() = 0;
  virtual Date today() = 0;
  // Milliseconds since some fixed moment; wraps around.
  virtual std::uint32_t tick_count() = 0;
  // A uniformly chosen number in [0, n); n is at least 1.
  virtual std::uint32_t random_below(std::uint32_t n) = 0;
  // Appends bytes to a file, creating it (and its folder) when missing; never
  // truncates. False when it cannot be written.
  virtual bool append_file(const std::filesystem::path& file, const std::string& bytes) = 0;
  // `n` new key pairs, made from the system's secure random source by a well-kept
  // cryptography library; empty when this front end cannot make them (now).
  virtual std::vector<KeyPair> new_key_pairs(std::size_t n) = 0;
  // The largest script a generator may build whole (an account batch), in bytes: what this
  // front end's output box can show without standing still.
  virtual std::size_t script_limit() { return std::size_t{16} << 20; }
};

}  // namespace rosgen
