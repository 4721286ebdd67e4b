// The settings file settings.dll: INI text read and written the way the
// Windows profile functions do it, so a file edited by hand or written by an
// older copy reads the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rosgen::appearance {

inline constexpr const char* kSettingsFileName = "settings.dll";

class SettingsFile {
 public:
  // Values are read into a 10240-byte buffer that keeps its terminating zero.
  static constexpr std::size_t kMaxValue = 10239;
  // A larger file is not ours: it reads as empty and is never rewritten.
  static constexpr std::uintmax_t kMaxFileSize = 4u << 20;

  SettingsFile() = default;
  // Reads and writes `file`. Keys that `file` lacks are looked up in
  // `fallback` (the copy beside an installed program, which only an
  // administrator can write); nothing is ever written there.
  explicit SettingsFile(std::filesystem::path file, std::filesystem::path fallback = {});

  // The value of `key` in `section` (both matched without regard to ASCII
  // case): blanks cut at both ends, one pair of enclosing quotes removed, at
  // most kMaxValue bytes. `def` when the key is missing.
  std::string text(std::string_view section, std::string_view key, std::string_view def) const;
  // text() read as an integer the way to_integer does it.
  std::int32_t integer(std::string_view section, std::string_view key, std::string_view def) const;

  // Sets keys of one section, creating the file and the section when
  // missing; existing keys keep their place, new ones go to the section's
  // end. The file is replaced as a whole, so a failure leaves the old one.
  // False when it cannot be written, or when a name or value would break the
  // file's lines (line ends, zero bytes, "=" in a key, "]" in a section).
  bool write(std::string_view section, const std::vector<std::pair<std::string, std::string>>& entries);
  bool write(std::string_view section, std::string key, std::string value) {
    return write(section, {{std::move(key), std::move(value)}});
  }

  const std::filesystem::path& path() const { return file_; }
  const std::filesystem::path& fallback() const { return fallback_; }

 private:
  std::filesystem::path file_;
  std::filesystem::path fallback_;
};

// The main window's place on the screen, kept in section [window].
inline constexpr const char* kWindowSection = "window";
struct WindowPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool maximized = false;
  int output_height = 0;  // the output panel's part of a page, in pixels; 0 when never set
  bool operator==(const WindowPlace&) const = default;
};
// Nothing when the section has no whole, positive size (a file edited by hand
// may hold anything).
std::optional<WindowPlace> read_window_place(const SettingsFile& settings);
bool write_window_place(SettingsFile& settings, const WindowPlace& place);

// True when a new file can be created in `dir` (tried, not guessed from
// permission bits, so it holds for administrators and network shares alike).
bool folder_writable(const std::filesystem::path& dir);

// Where the settings live: beside the program when its folder (and the file,
// if there is one) can be written; otherwise in the user's configuration
// folder, still reading what the program folder holds for keys not set there.
SettingsFile locate_settings(const std::filesystem::path& program_dir, const std::filesystem::path& user_config_dir,
                             const std::function<bool(const std::filesystem::path&)>& writable = folder_writable);

}  // namespace rosgen::appearance
