#include "appearance/hooks.h"

#include <memory>
#include <optional>

#include "appearance/appearance.h"
#include "appearance/settings_file.h"
#include "appearance/skin_engine.h"
#include "os/os.h"

namespace rosgen::appearance {
namespace {

const QString kNoVersionCaption = QStringLiteral("网络故障");
const QString kNoVersionText = QStringLiteral("软件无法检测最新版本信息。请检查您的网络连接。");
const QString kNewerCaption = QStringLiteral("有可用更新");
const QString kNewerText = QStringLiteral("本软件已经有更新，此版本停止使用。点击\"是\"下载最新版本。");
const QString kAppearanceCaption = QStringLiteral("外观配置");
const QString kNoServerCaption = QStringLiteral("检查更新");
const QString kNoServerText = QStringLiteral(
    "没有设置更新服务器，无法检查更新。\n更新服务器的地址写在 settings.dll 的 [update] 节，键名 server。");

struct State {
  explicit State(HookOptions o)
      : options(std::move(o)), settings(locate_settings(options.program_dir, options.user_config_dir)) {}

  Appearance& appearance() {
    if (!look)
      look = std::make_unique<Appearance>(options.program_dir, load_skin_engine(options.program_dir), options.message);
    return *look;
  }

  std::optional<QUrl> server() const { return server_address(settings.text(kUpdateSection, kServerKey, "")); }

  HookOptions options;
  SettingsFile settings;
  std::unique_ptr<Appearance> look;
};

}  // namespace

HookOptions default_hook_options() {
  HookOptions o;
  o.program_dir = os::program_dir();
  o.user_config_dir = os::user_config_dir();
  return o;
}

Hooks make_hooks(HookOptions options) {
  if (!options.message) options.message = show_message_box;
  if (!options.start) options.start = start_detached;
  auto state = std::make_shared<State>(std::move(options));
  Hooks hooks;

  hooks.announcement = [state]() -> std::string {
    auto server = state->server();
    if (!server) return {};
    return download_text(server_file(*server, kAnnouncementPath), state->options.limits);
  };

  hooks.keep_running = [state](QWidget* window) {
    auto server = state->server();
    if (!server) return true;
    std::string version = download_text(server_file(*server, kVersionPath), state->options.limits);
    switch (check_version(version)) {
      case VersionCheck::kNoVersion:
        // A network outage must not change how the program works here: warn and go on.
        state->options.message(window, kNoVersionCaption, kNoVersionText, Icon::Warning);
        return true;
      case VersionCheck::kNewer:
        state->options.message(window, kNewerCaption, kNewerText, Icon::Warning);
        start_updater(state->options.program_dir, server_file(*server, kUpdateListPath), state->options.start);
        return false;
      case VersionCheck::kNotNewer: break;
    }
    return true;
  };

  hooks.apply_look = [state](QWidget*) { state->appearance().load_and_apply(state->settings); };

  hooks.open_appearance = [state](QWidget* window) {
    state->appearance().open_window(kAppearanceCaption, window, state->settings);
  };

  hooks.check_update = [state](QWidget* window) {
    auto server = state->server();
    if (!server) {
      state->options.message(window, kNoServerCaption, kNoServerText, Icon::Information);
      return;
    }
    start_updater(state->options.program_dir, server_file(*server, kUpdateListPath), state->options.start);
  };

  return hooks;
}

}  // namespace rosgen::appearance
