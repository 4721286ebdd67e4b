#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <fstream>
#include <sstream>

#include "os/keys.h"
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

// The one-step replacement the command line's -o and the window's save share: the old file's
// permissions stay, a link stays a link, and a failure leaves the old file and no stray one.
TEST(Os, ReplaceFileIsWholeOrNothing) {
  const fs::path dir = fs::temp_directory_path() / ("rosgen-replace-" + std::to_string(::getpid()));
  struct Case {
    const char* what;
    std::string target;    // relative to dir
    std::string existing;  // written first, mode 0640, when not empty
    bool via_link;         // the target is a link to "real.rsc"
    bool written;
  } cases[] = {
      {"new file", "new.rsc", "", false, true},
      {"replaced, mode kept", "old.rsc", "old contents\r\n", false, true},
      {"through a link", "link.rsc", "old\r\n", true, true},
      {"missing folder", "missing/new.rsc", "", false, false},
      {"a folder in the way", "folder", "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir);
    fs::create_directories(dir / "folder");
    const fs::path target = dir / c.target;
    const fs::path real = c.via_link ? dir / "real.rsc" : target;
    if (!c.existing.empty()) {
      std::ofstream(real, std::ios::binary) << c.existing;
      fs::permissions(real, fs::perms(0640));
    }
    if (c.via_link) fs::create_symlink("real.rsc", target);
    const auto failure = os::replace_file(target, "new\r\n");
    EXPECT_EQ(!failure, c.written) << failure.value_or("");
    if (c.written) {
      EXPECT_EQ(read(real), "new\r\n");
      EXPECT_EQ(fs::is_symlink(target), c.via_link);
      if (!c.existing.empty()) {
        EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
      }
    } else {
      EXPECT_FALSE(failure->empty());
    }
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir)) files += e.is_regular_file() || e.is_symlink();
    EXPECT_EQ(files, (c.written ? 1 : 0) + (c.via_link ? 1 : 0)) << "no stray temporary file";
  }
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

os::Key from_hex(const char* hex) {
  os::Key k{};
  for (size_t i = 0; i < k.size(); ++i)
    k[i] = static_cast<std::uint8_t>(std::stoul(std::string(hex + 2 * i, 2), nullptr, 16));
  return k;
}

// RFC 7748: the key pairs of section 6.1, and section 5.2's first iteration (k = u = 9, the base point).
TEST(Os, X25519MatchesRfc7748) {
  const struct {
    const char* secret;
    const char* public_key;
  } vectors[] = {
      {"77076d0a7318a57d3c16c17251b26645df4c2f87ebc0992ab177fba51db92c2a",
       "8520f0098930a754748b7ddcb43ef75a0dbf3a0d26381af4eba4a98eaa9b4e6a"},
      {"5dab087e624a8a4b79e17f8b83800ee66f3bb1292618b6fd1c2f8b27ff88e0eb",
       "de9edb7d7b7dc1b4d35b61c2ece435373f8343c85b78674dadfc7e146f882b4f"},
      {"0900000000000000000000000000000000000000000000000000000000000000",
       "422c8e7a6227d7bca1350b3e2bb7279f7897b87bb6854b783c60e80311ae3079"},
  };
  for (const auto& v : vectors) EXPECT_EQ(os::x25519_public(from_hex(v.secret)), from_hex(v.public_key)) << v.secret;
  const std::vector<KeyPair> pairs = os::new_key_pairs(3);
  ASSERT_EQ(pairs.size(), 3u);
  for (const KeyPair& p : pairs) EXPECT_EQ(p.public_key, os::x25519_public(p.secret));
  EXPECT_NE(pairs[0].secret, pairs[1].secret);
  EXPECT_NE(pairs[1].secret, pairs[2].secret);
}

}  // namespace
}  // namespace rosgen
