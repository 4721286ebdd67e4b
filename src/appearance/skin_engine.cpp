#include "appearance/skin_engine.h"

#include <QLibrary>
#include <QString>
#include <system_error>

namespace rosgen::appearance {
namespace fs = std::filesystem;
namespace {

using AttachExtFn = int (*)(const char*, const char*, int, int, int);
using AttachExFn = int (*)(const char*, const char*);
using DetachFn = int (*)();
using AdjustHsvFn = int (*)(int, int, int);
using SetMenuAlphaFn = int (*)(int);
using SetAeroFn = int (*)(int);
using AdjustAeroFn = int (*)(int, int, int, int, int, int, int, int, int);

class ModuleSkinEngine : public SkinEngine {
 public:
  int attach_ext(const std::string& skin_file, const std::string& password, int hue, int saturation,
                 int brightness) override {
    return attach_ext_(skin_file.c_str(), password.c_str(), hue, saturation, brightness);
  }
  void attach_ex(const std::string& skin_file, const std::string& password) override {
    attach_ex_(skin_file.c_str(), password.c_str());
  }
  void detach() override { detach_(); }
  void adjust_hsv(int hue, int saturation, int brightness) override { adjust_hsv_(hue, saturation, brightness); }
  void set_menu_alpha(int alpha) override { set_menu_alpha_(alpha); }
  void set_aero(bool on) override { set_aero_(on ? 1 : 0); }
  void adjust_aero(int alpha, int shadow_brightness, int shadow_sharpness, int shadow_size, int x, int y, int red,
                   int green, int blue) override {
    adjust_aero_(alpha, shadow_brightness, shadow_sharpness, shadow_size, x, y, red, green, blue);
  }

  AttachExtFn attach_ext_ = nullptr;
  AttachExFn attach_ex_ = nullptr;
  DetachFn detach_ = nullptr;
  AdjustHsvFn adjust_hsv_ = nullptr;
  SetMenuAlphaFn set_menu_alpha_ = nullptr;
  SetAeroFn set_aero_ = nullptr;
  AdjustAeroFn adjust_aero_ = nullptr;
};

template <typename Fn>
bool resolve(QLibrary& lib, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(lib.resolve(name));
  return fn != nullptr;
}

}  // namespace

fs::path skin_module_path(const fs::path& program_dir) {
#ifdef _WIN32
  return program_dir / "skinh_el.dll";
#else
  return program_dir / "libskinh_el.so";
#endif
}

std::unique_ptr<SkinEngine> load_skin_engine(const fs::path& program_dir) {
  fs::path file = skin_module_path(program_dir);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return nullptr;
  // Never unloaded: the module leaves its hooks in the running application.
  QLibrary lib(QString::fromStdU16String(file.u16string()));
  lib.setLoadHints(QLibrary::PreventUnloadHint);
  if (!lib.load()) return nullptr;
  auto engine = std::make_unique<ModuleSkinEngine>();
  bool ok = resolve(lib, "SkinH_AttachExt", engine->attach_ext_) &&
            resolve(lib, "SkinH_AttachEx", engine->attach_ex_) && resolve(lib, "SkinH_Detach", engine->detach_) &&
            resolve(lib, "SkinH_AdjustHSV", engine->adjust_hsv_) &&
            resolve(lib, "SkinH_SetMenuAlpha", engine->set_menu_alpha_) &&
            resolve(lib, "SkinH_SetAero", engine->set_aero_) && resolve(lib, "SkinH_AdjustAero", engine->adjust_aero_);
  if (!ok) return nullptr;
  return engine;
}

}  // namespace rosgen::appearance
