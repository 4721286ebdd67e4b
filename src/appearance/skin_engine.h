// The skin engine: a module of its own beside the program (skinh_el), loaded
// when the program runs. Without it the program simply has no skins.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace rosgen::appearance {

// The seven operations of the module. Paths are UTF-8.
class SkinEngine {
 public:
  virtual ~SkinEngine() = default;
  // Skins every window of the program; 0 on success.
  virtual int attach_ext(const std::string& skin_file, const std::string& password, int hue, int saturation,
                         int brightness) = 0;
  // Switches to another skin; the result means nothing to the program.
  virtual void attach_ex(const std::string& skin_file, const std::string& password) = 0;
  virtual void detach() = 0;
  virtual void adjust_hsv(int hue, int saturation, int brightness) = 0;
  virtual void set_menu_alpha(int alpha) = 0;
  virtual void set_aero(bool on) = 0;
  // Sets the glass effect's values and turns it on.
  virtual void adjust_aero(int alpha, int shadow_brightness, int shadow_sharpness, int shadow_size, int x, int y,
                           int red, int green, int blue) = 0;
};

// The module's file in the program folder: skinh_el.dll, or libskinh_el.so.
std::filesystem::path skin_module_path(const std::filesystem::path& program_dir);

// Loads the module from the program folder. Null when the file is missing or
// does not export the seven operations.
std::unique_ptr<SkinEngine> load_skin_engine(const std::filesystem::path& program_dir);

}  // namespace rosgen::appearance
