#include "appearance/appearance.h"

#include <system_error>

#include "appearance/appearance_window.h"

namespace rosgen::appearance {
namespace fs = std::filesystem;
namespace {

fs::path utf8_path(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

std::string utf8_of(const fs::path& p) {
  std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace

Look read_look(const SettingsFile& s) {
  Look l;
  l.tone = s.integer(key::kSection, key::kTone, "0");
  l.saturation = s.integer(key::kSection, key::kSaturation, "0");
  l.brightness = s.integer(key::kSection, key::kBrightness, "0");
  l.menu = s.integer(key::kSection, key::kMenu, "0");
  l.aero_alpha = s.integer(key::kSection, key::kAeroAlpha, "50");
  l.aero_size = s.integer(key::kSection, key::kAeroSize, "0");
  l.aero_sharpness = s.integer(key::kSection, key::kAeroSharpness, "0");
  l.aero_brightness = s.integer(key::kSection, key::kAeroBrightness, "0");
  l.aero_red = s.integer(key::kSection, key::kAeroRed, "0");
  l.aero_green = s.integer(key::kSection, key::kAeroGreen, "0");
  l.aero_blue = s.integer(key::kSection, key::kAeroBlue, "0");
  return l;
}

Appearance::Appearance(fs::path program_dir, std::unique_ptr<SkinEngine> engine, MessageFn message)
    : program_dir_(std::move(program_dir)), engine_(std::move(engine)), message_(std::move(message)) {
  if (!message_) message_ = show_message_box;
}

Appearance::~Appearance() = default;

AppearanceWindow* Appearance::window() const { return window_; }

fs::path Appearance::skin_file(const std::string& name) const {
  // Only a file of the skins folder itself: a name is never a way out of it.
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos) return {};
  return skins_dir() / utf8_path(name);
}

void Appearance::load_and_apply(const SettingsFile& settings) {
  if (!engine_) return;
  settings_ = settings;
  const Look look = read_look(settings_);
  const std::string name = settings_.text(key::kSection, key::kSkinName, kDefaultSkin);
  const fs::path file = skin_file(name);
  std::error_code ec;
  if (file.empty() || !fs::is_regular_file(file, ec)) {
    if (window_) window_->show_look(look);
    return;
  }

  custom_skin_active_ = engine_->attach_ext(utf8_of(file), "", look.tone, look.saturation, look.brightness) == 0;
  if (custom_skin_active_) engine_->set_menu_alpha(look.menu);
  const bool aero = settings_.text(key::kSection, key::kAero, "0") != "0";
  if (aero) {
    engine_->adjust_aero(look.aero_alpha, look.aero_brightness, look.aero_sharpness, look.aero_size, 0, 0,
                         look.aero_red, look.aero_green, look.aero_blue);
    if (window_) window_->set_aero_controls_enabled(true);
  } else {
    engine_->set_aero(false);
  }
  if (window_) {
    window_->show_applied(custom_skin_active_, aero, name);
    window_->show_look(look);
  }
}

bool Appearance::open_window(const QString& caption, QWidget* owner, const SettingsFile& settings) {
  if (!engine_ || window_) return false;
  settings_ = settings;
  AppearanceWindow window(*this, owner);
  window_ = &window;
  window.prepare(caption);
  window.exec();
  // However it was closed, the saved look comes back: unsaved changes go.
  load_and_apply();
  window_ = nullptr;
  return window.saved();
}

bool Appearance::save(const std::string& skin_name, bool aero, const Look& l) {
  auto n = [](int v) { return std::to_string(v); };
  return settings_.write(key::kSection, {
                                            {key::kSkinName, skin_name},
                                            {key::kAero, aero ? "1" : "0"},
                                            {key::kTone, n(l.tone)},
                                            {key::kSaturation, n(l.saturation)},
                                            {key::kBrightness, n(l.brightness)},
                                            {key::kMenu, n(l.menu)},
                                            {key::kAeroAlpha, n(l.aero_alpha)},
                                            {key::kAeroSize, n(l.aero_size)},
                                            {key::kAeroSharpness, n(l.aero_sharpness)},
                                            {key::kAeroBrightness, n(l.aero_brightness)},
                                            {key::kAeroRed, n(l.aero_red)},
                                            {key::kAeroBlue, n(l.aero_blue)},
                                            {key::kAeroGreen, n(l.aero_green)},
                                        });
}

}  // namespace rosgen::appearance
