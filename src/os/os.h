// Operating-system services shared by the command line and the window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "script/env.h"

namespace rosgen::os {

// The folder of the running program file.
std::filesystem::path program_dir();
// Per-user folders for data and settings ($XDG_DATA_HOME/rosgen, $XDG_CONFIG_HOME/rosgen).
std::filesystem::path user_data_dir();
std::filesystem::path user_config_dir();
// Milliseconds of a monotonic clock, wrapping at 2^32.
std::uint32_t tick_count();
Date local_today();
// A uniform number in [0, n) from the system's cryptographically secure source.
std::uint32_t secure_random_below(std::uint32_t n);
// Appends to a file, creating it and its folder when missing; never truncates.
bool append_to_file(const std::filesystem::path& file, const std::string& bytes);
// Replaces `file` with `bytes` in one step: they go to a new file in the same folder, which is then
// renamed over it, so a failure leaves no half-written file and the old one as it was. A link is
// written through (the link stays); an existing file keeps its permissions, unless `mode` gives
// them (0600 for a private key: set before any byte is written). The reason of a failure, or
// nothing when written.
std::optional<std::string> replace_file(const std::filesystem::path& file, const std::string& bytes,
                                        std::optional<unsigned> mode = std::nullopt);

}  // namespace rosgen::os
