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
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
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

std::optional<std::string> replace_file(const fs::path& file, const std::string& bytes,
                                        std::optional<unsigned> fixed_mode) {
  std::error_code ec;
  fs::path target = file;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
#ifdef _WIN32
  const fs::path temp = folder / (L".rosgen-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
  FILE* f = _wfopen(temp.c_str(), L"wb");
  if (!f) return std::string("cannot create a file in ") + folder.string();
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok || !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    fs::remove(temp, ec);
    return std::string(ok ? "cannot replace " : "cannot write ") + target.string();
  }
  return std::nullopt;
#else
  mode_t mode = 0;
  struct stat old {};
  if (fixed_mode) {
    mode = static_cast<mode_t>(*fixed_mode);
  } else if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  std::string temp = (folder / ".rosgen-XXXXXX").string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return std::string(std::strerror(errno));
  auto fail = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return std::optional<std::string>(std::strerror(error));
  };
  if (::fchmod(fd, mode) != 0) return fail(errno);
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return fail(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
  return std::nullopt;
#endif
}

}  // namespace rosgen::os
