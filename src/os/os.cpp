#include "os/os.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#include <shlobj.h>
#else
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace rosgen::os {
namespace fs = std::filesystem;

fs::path program_dir() {
#ifdef _WIN32
  wchar_t buf[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
  return fs::path(std::wstring(buf, n)).parent_path();
#else
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
#endif
}

namespace {

#ifndef _WIN32
fs::path xdg_dir(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value == '/') return fs::path(value) / "rosgen";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / fallback / "rosgen";
}
#else
fs::path appdata() {
  PWSTR path = nullptr;
  fs::path result;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result / "rosgen";
}
#endif

}  // namespace

fs::path user_data_dir() {
#ifdef _WIN32
  return appdata();
#else
  return xdg_dir("XDG_DATA_HOME", ".local/share");
#endif
}

fs::path user_config_dir() {
#ifdef _WIN32
  return appdata();
#else
  return xdg_dir("XDG_CONFIG_HOME", ".config");
#endif
}

std::uint32_t tick_count() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

Date local_today() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

namespace {

std::uint32_t secure_random_u32() {
  std::uint32_t value = 0;
#ifdef _WIN32
  if (BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
    throw std::runtime_error("the system random source failed");
  }
#else
  auto* p = reinterpret_cast<unsigned char*>(&value);
  size_t got = 0;
  while (got < sizeof value) {
    ssize_t n = getrandom(p + got, sizeof value - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    got += static_cast<size_t>(n);
  }
#endif
  return value;
}

}  // namespace

std::uint32_t secure_random_below(std::uint32_t n) {
  if (n <= 1) return 0;
  // Rejection sampling keeps every value equally likely.
  const std::uint32_t limit = static_cast<std::uint32_t>(-n) % n;  // 2^32 mod n
  for (;;) {
    std::uint32_t r = secure_random_u32();
    if (r >= limit) return r % n;
  }
}

bool append_to_file(const fs::path& file, const std::string& bytes) {
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
#ifdef _WIN32
  FILE* f = _wfopen(file.c_str(), L"ab");
#else
  // What we append may be account passwords: a new file is readable by its owner only.
  int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "ab");
  if (fd >= 0 && !f) ::close(fd);
#endif
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

}  // namespace rosgen::os
