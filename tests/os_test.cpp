#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <fstream>
#include <sstream>

#include "os/os.h"

namespace rosgen {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Os, AppendCreatesThePrivateFileAndNeverTruncates) {
  fs::path dir = fs::temp_directory_path() / ("rosgen-os-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::path file = dir / "log" / "log.TXT";
  ASSERT_TRUE(os::append_to_file(file, "one\r\n"));
  ASSERT_TRUE(os::append_to_file(file, "two\r\n"));
  EXPECT_EQ(read(file), "one\r\ntwo\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // A folder where the file should be: refused, nothing thrown.
  EXPECT_FALSE(os::append_to_file(dir / "log", "x"));
  fs::remove_all(dir);
}

TEST(Os, SecureRandomStaysInRangeAndCoversIt) {
  std::array<int, 7> seen{};
  for (int i = 0; i < 7000; ++i) {
    std::uint32_t r = os::secure_random_below(7);
    ASSERT_LT(r, 7u);
    ++seen[r];
  }
  for (int count : seen) EXPECT_GT(count, 700);  // about 1000 each
  EXPECT_EQ(os::secure_random_below(1), 0u);
  EXPECT_EQ(os::secure_random_below(0), 0u);
}

TEST(Os, FoldersFollowTheEnvironment) {
  EXPECT_TRUE(fs::exists(os::program_dir()));
  ::setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
  ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_EQ(os::user_data_dir(), fs::path("/tmp/xdg-data/rosgen"));
  EXPECT_EQ(os::user_config_dir().filename(), "rosgen");
  EXPECT_NE(os::user_config_dir().string().rfind("relative", 0), 0u);
  ::unsetenv("XDG_DATA_HOME");
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace rosgen
