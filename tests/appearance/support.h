// Shared helpers of the appearance tests: a program folder of its own, a skin
// engine that records what it is asked, and a way to read files back.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "appearance/skin_engine.h"

namespace rosgen::test {

namespace fs = std::filesystem;

inline const fs::path kBinDir = ROSGEN_BIN_DIR;         // the built programs, module and skins
inline const fs::path kSkinSources = ROSGEN_SKINS_SRC;  // the skins as shipped

inline std::string read_file(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A fresh program folder: optionally the shipped skins and the real engine module.
class ProgramDir {
 public:
  ProgramDir() : path_(dir_.path().toStdString()) {}
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

  void copy_skins() {
    fs::create_directories(path_ / "skins");
    for (const auto& e : fs::directory_iterator(kSkinSources)) {
      if (e.path().extension() == ".she") fs::copy_file(e.path(), path_ / "skins" / e.path().filename());
    }
  }
  void write_settings(const std::string& text) { write_file(path_ / "settings.dll", text); }
  std::string settings() const { return read_file(path_ / "settings.dll"); }

  // An updater that writes its arguments into updater-ran.txt beside itself.
  void add_updater(const std::string& name = "UPDATE") {
    fs::path script = path_ / name;
    write_file(script,
               "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/updater-ran.txt.tmp\"\n"
               "mv \"$(dirname \"$0\")/updater-ran.txt.tmp\" \"$(dirname \"$0\")/updater-ran.txt\"\n");
    fs::permissions(script, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  }
  fs::path updater_record() const { return path_ / "updater-ran.txt"; }

 private:
  QTemporaryDir dir_;
  fs::path path_;
};

// Every call, written out as text, e.g. "hsv 10 20 30".
class RecordingEngine : public appearance::SkinEngine {
 public:
  using Log = std::shared_ptr<std::vector<std::string>>;
  explicit RecordingEngine(Log log, int attach_result = 0) : log_(std::move(log)), attach_result_(attach_result) {}

  int attach_ext(const std::string& file, const std::string& password, int h, int s, int b) override {
    add("attach_ext " + file + " [" + password + "] " + n(h) + " " + n(s) + " " + n(b));
    return attach_result_;
  }
  void attach_ex(const std::string& file, const std::string& password) override {
    add("attach_ex " + file + " [" + password + "]");
  }
  void detach() override { add("detach"); }
  void adjust_hsv(int h, int s, int b) override { add("hsv " + n(h) + " " + n(s) + " " + n(b)); }
  void set_menu_alpha(int a) override { add("menu " + n(a)); }
  void set_aero(bool on) override { add(std::string("aero ") + (on ? "on" : "off")); }
  void adjust_aero(int alpha, int sb, int ss, int size, int x, int y, int r, int g, int b) override {
    add("adjust_aero " + n(alpha) + " " + n(sb) + " " + n(ss) + " " + n(size) + " " + n(x) + " " + n(y) + " " + n(r) +
        " " + n(g) + " " + n(b));
  }

 private:
  static std::string n(int v) { return std::to_string(v); }
  void add(std::string call) { log_->push_back(std::move(call)); }
  Log log_;
  int attach_result_;
};

}  // namespace rosgen::test
