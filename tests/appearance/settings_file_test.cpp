#include <gtest/gtest.h>

#include "appearance/settings_file.h"
#include "support.h"

namespace rosgen::appearance {
namespace {

using test::ProgramDir;
using test::read_file;
using test::write_file;

// Bytes of a literal that holds zero bytes.
template <std::size_t N>
std::string bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

TEST(SettingsFile, ReadsAsTheProfileFunctionsDo) {
  struct Case {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"plain", "[skin]\r\nskinname=ocean.she\r\n", "skin", "skinname", "ocean.she"},
      {"section and key ignore case", "[SKIN]\r\nAero=1\r\n", "skin", "aero", "1"},
      {"blanks around name and value", "  [ skin ]  \n  tone  =  45  \n", "skin", "tone", "45"},
      {"one pair of quotes removed", "[skin]\nskinname=\"ink.she\"\n", "skin", "skinname", "ink.she"},
      {"single quotes too", "[skin]\nskinname='ink.she'\n", "skin", "skinname", "ink.she"},
      {"unmatched quote kept", "[skin]\nskinname=\"ink.she\n", "skin", "skinname", "\"ink.she"},
      {"value holding =", "[update]\nserver=http://h/?a=b\n", "update", "server", "http://h/?a=b"},
      {"first section of a name counts", "[skin]\ntone=1\n[other]\n[skin]\ntone=2\nmenu=3\n", "skin", "menu", "DEF"},
      {"first key of a name counts", "[skin]\ntone=1\nTONE=2\n", "skin", "tone", "1"},
      {"key of another section", "[other]\ntone=7\n[skin]\n", "skin", "tone", "DEF"},
      {"key before any section", "tone=7\n[skin]\n", "skin", "tone", "DEF"},
      {"missing section", "[other]\ntone=7\n", "skin", "tone", "DEF"},
      {"empty value is a value", "[skin]\naero=\n", "skin", "aero", ""},
      {"line without =", "[skin]\naero\n", "skin", "aero", ""},
      {"editor's byte order mark", "\xEF\xBB\xBF[skin]\ntone=9\n", "skin", "tone", "9"},
      {"garbage around", bytes("\x01\xFF\0[x\n[skin]\n\x80\x81=\ntone=5\n"), "skin", "tone", "5"},
  };
  for (const auto& c : cases) {
    ProgramDir dir;
    dir.write_settings(c.file);
    SettingsFile settings(dir / "settings.dll");
    EXPECT_EQ(settings.text(c.section, c.key, "DEF"), c.expected) << c.what;
  }
}

TEST(SettingsFile, MissingFileReadsDefaults) {
  ProgramDir dir;
  SettingsFile settings(dir / "settings.dll");
  EXPECT_EQ(settings.text("skin", "skinname", "china.she"), "china.she");
  EXPECT_EQ(settings.integer("skin", "AEROtm", "50"), 50);
  EXPECT_EQ(SettingsFile().text("skin", "tone", "0"), "0");
}

TEST(SettingsFile, ValuesStopAtTheBufferSize) {
  ProgramDir dir;
  dir.write_settings("[skin]\nskinname=" + std::string(20000, 'x') + "\n");
  EXPECT_EQ(SettingsFile(dir / "settings.dll").text("skin", "skinname", ""), std::string(SettingsFile::kMaxValue, 'x'));
}

TEST(SettingsFile, IntegersReadAsToInteger) {
  ProgramDir dir;
  dir.write_settings("[skin]\nmenu=  80k\ntone=\xA3\xB1\xA3\xB2\n");  // full-width digits in the second
  SettingsFile settings(dir / "settings.dll");
  EXPECT_EQ(settings.integer("skin", "menu", "0"), 80);
  EXPECT_EQ(settings.integer("skin", "tone", "0"), 12);
}

TEST(SettingsFile, WritesInPlaceKeepingEverythingElse) {
  using Entries = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    const char* what;
    std::string before;
    Entries entries;
    std::string after;
  } cases[] = {
      {"new file", "", {{"skinname", "ink.she"}, {"Aero", "1"}}, "[skin]\r\nskinname=ink.she\r\nAero=1\r\n"},
      {"existing key keeps its place and spelling",
       "[skin]\r\naero=0\r\ntone=3\r\n",
       {{"Aero", "1"}},
       "[skin]\r\naero=1\r\ntone=3\r\n"},
      {"new key at the end of its section",
       "[skin]\r\ntone=3\r\n\r\n[update]\r\nserver=x\r\n",
       {{"menu", "200"}},
       "[skin]\r\ntone=3\r\nmenu=200\r\n\r\n[update]\r\nserver=x\r\n"},
      {"new section after the others", "[update]\nserver=x", {{"tone", "1"}}, "[update]\nserver=x\n\n[skin]\ntone=1\n"},
      {"comments and other sections untouched",
       "; mine\n[other]\na = b\n[skin]\ntone=1\n",
       {{"tone", "2"}},
       "; mine\n[other]\na = b\n[skin]\ntone=2\n"},
  };
  for (const auto& c : cases) {
    ProgramDir dir;
    if (!c.before.empty()) dir.write_settings(c.before);
    SettingsFile settings(dir / "settings.dll");
    ASSERT_TRUE(settings.write("skin", c.entries)) << c.what;
    EXPECT_EQ(dir.settings(), c.after) << c.what;
  }
}

TEST(SettingsFile, RefusesWhatWouldBreakTheFile) {
  ProgramDir dir;
  dir.write_settings("[skin]\r\ntone=1\r\n");
  SettingsFile settings(dir / "settings.dll");
  EXPECT_FALSE(settings.write("skin", "skinname", "a.she\r\nAero=1"));
  EXPECT_FALSE(settings.write("skin", "skinname", bytes("a\0b")));
  EXPECT_FALSE(settings.write("skin", "tone=2", "1"));
  EXPECT_FALSE(settings.write("skin", "", "1"));
  EXPECT_FALSE(settings.write("sk]in", "tone", "1"));
  EXPECT_EQ(dir.settings(), "[skin]\r\ntone=1\r\n");
}

TEST(SettingsFile, CorruptFileReadsDefaultsAndSavesWithoutLosingIt) {
  ProgramDir dir;
  std::string garbage = bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xFF\xFE[skin\0tone=9");
  dir.write_settings(garbage);
  SettingsFile settings(dir / "settings.dll");
  EXPECT_EQ(settings.text("skin", "tone", "0"), "0");
  ASSERT_TRUE(settings.write("skin", "tone", "4"));
  EXPECT_EQ(settings.integer("skin", "tone", "0"), 4);
  EXPECT_NE(dir.settings().find(bytes("IHDR\xFF\xFE[skin\0tone=9")), std::string::npos);
}

TEST(SettingsFile, OversizedFileIsNeitherReadNorReplaced) {
  ProgramDir dir;
  std::string big = "[skin]\ntone=9\n" + std::string(SettingsFile::kMaxFileSize, ';');
  dir.write_settings(big);
  SettingsFile settings(dir / "settings.dll");
  EXPECT_EQ(settings.text("skin", "tone", "0"), "0");
  EXPECT_FALSE(settings.write("skin", "tone", "4"));
  EXPECT_EQ(dir.settings().size(), big.size());
}

TEST(SettingsFile, FallbackIsReadForMissingKeysAndNeverWritten) {
  ProgramDir program, user;
  program.write_settings("[update]\r\nserver=http://h:8080\r\n[skin]\r\ntone=5\r\nmenu=200\r\n");
  SettingsFile settings(user / "rosgen" / "settings.dll", program / "settings.dll");
  EXPECT_EQ(settings.text("update", "server", ""), "http://h:8080");
  EXPECT_EQ(settings.integer("skin", "tone", "0"), 5);
  ASSERT_TRUE(settings.write("skin", "tone", "7"));  // creates the user's folder
  EXPECT_EQ(settings.integer("skin", "tone", "0"), 7);
  EXPECT_EQ(settings.integer("skin", "menu", "0"), 200);
  EXPECT_EQ(read_file(user / "rosgen" / "settings.dll"), "[skin]\r\ntone=7\r\n");
  EXPECT_EQ(program.settings(), "[update]\r\nserver=http://h:8080\r\n[skin]\r\ntone=5\r\nmenu=200\r\n");
}

TEST(SettingsLocation, ReadOnlyProgramFolderKeepsTheLookInTheUserFolder) {
  ProgramDir program, user;
  program.write_settings("[update]\nserver=http://h\n");
  struct Case {
    bool writable;
    std::filesystem::path file;
    std::filesystem::path fallback;
  } cases[] = {
      {true, program / "settings.dll", {}},
      {false, user / "settings.dll", program / "settings.dll"},
  };
  for (const auto& c : cases) {
    SettingsFile s = locate_settings(program.path(), user.path(), [&](const auto&) { return c.writable; });
    EXPECT_EQ(s.path(), c.file);
    EXPECT_EQ(s.fallback(), c.fallback);
    EXPECT_EQ(s.text("update", "server", ""), "http://h");
  }
  // Saved in an installed copy, and read back by the next start.
  SettingsFile installed = locate_settings(program.path(), user.path(), [](const auto&) { return false; });
  ASSERT_TRUE(installed.write("skin", "skinname", "ink.she"));
  SettingsFile next = locate_settings(program.path(), user.path(), [](const auto&) { return false; });
  EXPECT_EQ(next.text("skin", "skinname", "china.she"), "ink.she");
  EXPECT_EQ(program.settings(), "[update]\nserver=http://h\n");
}

TEST(SettingsLocation, WritabilityIsTriedForReal) {
  ProgramDir dir;
  EXPECT_TRUE(folder_writable(dir.path()));
  EXPECT_FALSE(folder_writable(dir / "missing"));
  write_file(dir / "a-file", "x");
  EXPECT_FALSE(folder_writable(dir / "a-file"));
#ifdef __linux__
  EXPECT_FALSE(folder_writable("/proc"));  // not even for the administrator
#endif
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "the probe file stays behind";
}

TEST(SettingsFile, WriteFailureIsReported) {
#ifdef __linux__
  SettingsFile settings("/proc/rosgen-test/settings.dll");
  EXPECT_FALSE(settings.write("skin", "tone", "1"));
#endif
}

}  // namespace
}  // namespace rosgen::appearance
