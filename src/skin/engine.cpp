// The skin engine module. It dresses the whole running application through
// the application's style sheet and palette, so every window, present or yet
// to come, takes the skin without knowing about it.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "skin/skin_file.h"

#if defined(_WIN32)
#define SKIN_API extern "C" __declspec(dllexport)
#else
#define SKIN_API extern "C" __attribute__((visibility("default")))
#endif

namespace rosgen::skin {
namespace {

enum Result { kOk = 0, kNoApplication = 1, kUnreadable = 2, kNotASkin = 3, kBadSheet = 4 };

bool is_glass_window(const QWidget* w) {
  return w->isWindow() && (qobject_cast<const QMainWindow*>(w) || qobject_cast<const QDialog*>(w));
}

class Engine : public QObject {
 public:
  static Engine& get() {
    static Engine* engine = new Engine;  // lives as long as the process; the module is never unloaded
    return *engine;
  }

  // Without an adjustment the new skin keeps the one of the skin before.
  int attach(const char* path, std::optional<Adjust> adjust) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || !path) return kNoApplication;
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinFileSize) return kUnreadable;
    ParseResult parsed = parse_skin(file.read(kMaxSkinFileSize + 1));
    if (!parsed.skin) return kNotASkin;
    remember_original();
    Adjust next = adjust ? *adjust : adjust_;
    if (!render(*parsed.skin, next, original_palette_).error.isEmpty()) return kBadSheet;
    skin_ = std::move(parsed.skin);
    adjust_ = next;
    apply_now();
    return kOk;
  }

  void detach() {
    if (!skin_ && !aero_on_ && menu_alpha_ == 0) return;
    skin_.reset();
    aero_on_ = false;
    menu_alpha_ = 0;
    apply_now();
  }

  void adjust(const Adjust& adjust) {
    adjust_ = adjust;
    if (skin_) apply_soon();
  }

  void set_menu_alpha(int alpha) {
    menu_alpha_ = alpha;
    install_filter();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMenu*>(w)) w->setWindowOpacity(menu_opacity(menu_alpha_));
    }
  }

  void set_aero(bool on) {
    if (aero_on_ == on) return;
    aero_on_ = on;
    apply_soon();
  }

  void adjust_aero(const Aero& aero) {
    aero_ = aero;
    aero_on_ = true;
    apply_soon();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (qobject_cast<QMenu*>(w)) {
        w->setWindowOpacity(menu_opacity(menu_alpha_));
      } else if (is_glass_window(w)) {
        w->setWindowOpacity(aero_on_ ? aero_opacity(aero_.alpha) : 1.0);
      }
    }
    return false;
  }

 private:
  Engine() = default;

  void remember_original() {
    if (original_saved_) return;
    original_saved_ = true;
    original_palette_ = QApplication::palette();
    original_style_ = QApplication::style()->name();
    base_style_ = original_style_;
  }

  void install_filter() {
    if (filter_installed_ || !qApp) return;
    qApp->installEventFilter(this);
    filter_installed_ = true;
  }

  // Sliders send a change for every step, and restyling every window that
  // often would stall them: a change is applied at once, but further changes
  // within the next moment are gathered and applied together.
  void apply_soon() {
    if (!qApp) return;
    if (!recently_.isValid() || recently_.hasExpired(kGatherMs)) {
      apply_now();
      recently_.start();
      return;
    }
    if (!timer_) {
      timer_ = new QTimer(qApp);
      timer_->setSingleShot(true);
      QObject::connect(timer_, &QTimer::timeout, [this] {
        apply_now();
        recently_.start();
      });
    }
    if (!timer_->isActive()) timer_->start(kGatherMs);
  }

  void apply_now() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return;
    if (timer_) timer_->stop();
    remember_original();
    install_filter();

    QPalette palette = original_palette_;
    QString sheet;
    QColor window = palette.color(QPalette::Active, QPalette::Window);
    QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    if (skin_) {
      Rendered r = render(*skin_, adjust_, original_palette_);
      sheet = r.sheet;
      palette = r.palette;
      window = r.window;
      text = r.text;
    }
    if (aero_on_) sheet += aero_sheet(aero_, window, text);

    // Style sheets draw the same on every platform over the Fusion style.
    // (Once a sheet is set, the application's style is the sheet's wrapper,
    // which has no name; hence the name kept here.)
    QString style = skin_ ? QStringLiteral("fusion") : original_style_;
    if (base_style_.compare(style, Qt::CaseInsensitive) != 0) {
      if (QStyle* s = QStyleFactory::create(style)) {
        QApplication::setStyle(s);
        base_style_ = style;
      }
    }
    QApplication::setPalette(palette);
    app->setStyleSheet(sheet);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (is_glass_window(w)) w->setWindowOpacity(aero_on_ ? aero_opacity(aero_.alpha) : 1.0);
    }
  }

  std::optional<SkinFile> skin_;
  Adjust adjust_;
  int menu_alpha_ = 0;
  bool aero_on_ = false;
  Aero aero_;
  bool original_saved_ = false;
  QPalette original_palette_;
  QString original_style_;
  QString base_style_;
  bool filter_installed_ = false;
  QPointer<QTimer> timer_;
  QElapsedTimer recently_;  // since the last change applied by apply_soon()
  static constexpr int kGatherMs = 40;
};

}  // namespace
}  // namespace rosgen::skin

using rosgen::skin::Engine;

SKIN_API int SkinH_AttachExt(const char* skin_file, const char* /*password*/, int hue, int saturation, int brightness) {
  return Engine::get().attach(skin_file, rosgen::skin::Adjust{hue, saturation, brightness});
}

SKIN_API int SkinH_AttachEx(const char* skin_file, const char* /*password*/) {
  return Engine::get().attach(skin_file, std::nullopt);
}

SKIN_API int SkinH_Detach() {
  Engine::get().detach();
  return 0;
}

SKIN_API int SkinH_AdjustHSV(int hue, int saturation, int brightness) {
  Engine::get().adjust({hue, saturation, brightness});
  return 0;
}

SKIN_API int SkinH_SetMenuAlpha(int alpha) {
  Engine::get().set_menu_alpha(alpha);
  return 0;
}

SKIN_API int SkinH_SetAero(int on) {
  Engine::get().set_aero(on != 0);
  return 0;
}

SKIN_API int SkinH_AdjustAero(int alpha, int shadow_brightness, int shadow_sharpness, int shadow_size, int /*x*/,
                              int /*y*/, int red, int green, int blue) {
  rosgen::skin::Aero aero;
  aero.alpha = alpha;
  aero.shadow_brightness = shadow_brightness;
  aero.shadow_sharpness = shadow_sharpness;
  aero.shadow_size = shadow_size;
  aero.colour = QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
  Engine::get().adjust_aero(aero);
  return 0;
}
