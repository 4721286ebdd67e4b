// The parts of the outside world that are the same for the window and the
// command line: folders, clock, randomness, files.
#pragma once

#include <optional>

#include "os/keys.h"
#include "os/os.h"
#include "script/env.h"

namespace rosgen {

class SystemEnv : public Env {
 public:
  std::filesystem::path program_dir() override { return os::program_dir(); }
  std::filesystem::path user_data_dir() override { return os::user_data_dir(); }
  Date today() override { return fixed_today ? *fixed_today : os::local_today(); }
  std::uint32_t tick_count() override { return os::tick_count(); }
  std::uint32_t random_below(std::uint32_t n) override { return os::secure_random_below(n); }
  bool append_file(const std::filesystem::path& file, const std::string& bytes) override {
    return os::append_to_file(file, bytes);
  }
  std::vector<KeyPair> new_key_pairs(std::size_t n) override { return os::new_key_pairs(n); }

  std::optional<Date> fixed_today;  // set by the command line's --today
};

}  // namespace rosgen
