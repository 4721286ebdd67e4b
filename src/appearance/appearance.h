// The program's look: the saved skin applied at start, and the appearance
// window that changes it.
#pragma once

#include <QPointer>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>

#include "appearance/message.h"
#include "appearance/settings_file.h"
#include "appearance/skin_engine.h"

class QWidget;

namespace rosgen::appearance {

class AppearanceWindow;

// The skin applied when the settings name none.
inline constexpr const char* kDefaultSkin = "china.she";

// Section and keys of the settings file.
namespace key {
inline constexpr const char* kSection = "skin";
inline constexpr const char* kSkinName = "skinname";
inline constexpr const char* kTone = "tone";
inline constexpr const char* kSaturation = "saturation";
inline constexpr const char* kBrightness = "Brightness";
inline constexpr const char* kMenu = "menu";
inline constexpr const char* kAeroAlpha = "AEROtm";
inline constexpr const char* kAeroSize = "AEROsize";
inline constexpr const char* kAeroSharpness = "AEROrd";
inline constexpr const char* kAeroBrightness = "AEROld";
inline constexpr const char* kAeroRed = "AEROred";
inline constexpr const char* kAeroGreen = "AEROgreen";
inline constexpr const char* kAeroBlue = "AEROblue";
inline constexpr const char* kAero = "Aero";  // read as "aero": keys ignore case
}  // namespace key

// The numbers of a look, as the settings file holds them.
struct Look {
  int tone = 0;
  int saturation = 0;
  int brightness = 0;
  int menu = 0;
  int aero_alpha = 50;
  int aero_size = 0;
  int aero_sharpness = 0;
  int aero_brightness = 0;
  int aero_red = 0;
  int aero_green = 0;
  int aero_blue = 0;
  bool operator==(const Look&) const = default;
};

Look read_look(const SettingsFile& settings);

class Appearance {
 public:
  // `engine` may be null: then nothing is ever applied and the window never opens.
  Appearance(std::filesystem::path program_dir, std::unique_ptr<SkinEngine> engine,
             MessageFn message = show_message_box);
  ~Appearance();
  Appearance(const Appearance&) = delete;
  Appearance& operator=(const Appearance&) = delete;

  bool has_engine() const { return engine_ != nullptr; }
  SkinEngine* engine() const { return engine_.get(); }
  std::filesystem::path skins_dir() const { return program_dir_ / "skins"; }
  // The skin file of a name from the settings, or nothing when the name is
  // not a plain file name in the skins folder.
  std::filesystem::path skin_file(const std::string& name) const;

  // Reads the settings, applies the saved skin and remembers the file for
  // the appearance window; shows the values in the window when it is open.
  void load_and_apply(const SettingsFile& settings);
  void load_and_apply() { load_and_apply(settings_); }

  // Shows the appearance window modally over `owner`; true when it was closed
  // by saving. Returns false at once without an engine or while it is open.
  bool open_window(const QString& caption, QWidget* owner, const SettingsFile& settings);

  // Writes the window's choice to the remembered settings file.
  bool save(const std::string& skin_name, bool aero, const Look& look);

  bool custom_skin_active() const { return custom_skin_active_; }
  void set_custom_skin_active(bool on) { custom_skin_active_ = on; }
  const SettingsFile& settings() const { return settings_; }
  AppearanceWindow* window() const;  // while it is open
  const MessageFn& message() const { return message_; }

 private:
  std::filesystem::path program_dir_;
  std::unique_ptr<SkinEngine> engine_;
  MessageFn message_;
  SettingsFile settings_;
  bool custom_skin_active_ = false;
  QPointer<AppearanceWindow> window_;
};

}  // namespace rosgen::appearance
