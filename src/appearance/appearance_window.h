// The appearance window: skin, colours, menu and glass settings, previewed on
// the running program at every change and kept only when saved.
#pragma once

#include <QDialog>
#include <string>

#include "appearance/appearance.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace rosgen::appearance {

class AppearanceWindow : public QDialog {
  Q_OBJECT

 public:
  inline static const QString kAeroCaptionOff = QStringLiteral("Aero特效调整(请先开启AERO特效)");
  inline static const QString kAeroCaptionOn = QStringLiteral("Aero特效调整");

  AppearanceWindow(Appearance& appearance, QWidget* parent = nullptr);

  // The steps run when the window opens, before it is shown.
  void prepare(const QString& caption);

  // What loading the settings shows here.
  void show_look(const Look& look);
  void show_applied(bool custom_skin_active, bool aero, const std::string& skin_name);
  void set_aero_controls_enabled(bool on);

  // The skins folder listed again, keeping the selected name when it is still there.
  void refill_skins();

  bool saved() const { return saved_; }
  Look look() const;

 private:
  void enable_skin_controls(bool on);
  void on_custom_skin_clicked(bool checked);
  void on_skin_selected(int index);
  void on_aero_clicked(bool checked);
  void on_hsv_moved();
  void on_menu_moved();
  void on_aero_moved();
  void on_save();
  void on_restore();
  void on_discard();

  Appearance& appearance_;
  bool saved_ = false;

  QGroupBox* skin_group_;    // 分组框4
  QCheckBox* custom_skin_;   // 选择框2
  QComboBox* skins_;         // 组合框1
  QLabel* refresh_;          // 超级链接框1
  QGroupBox* colour_group_;  // 分组框1
  QSlider* tone_;
  QSlider* saturation_;
  QSlider* brightness_;
  QGroupBox* menu_group_;  // 分组框3
  QSlider* menu_;
  QCheckBox* aero_;        // 选择框1
  QGroupBox* aero_group_;  // 分组框2
  QSlider* aero_alpha_;
  QSlider* aero_size_;
  QSlider* aero_sharpness_;
  QSlider* aero_brightness_;
  QSlider* aero_red_;
  QSlider* aero_green_;
  QSlider* aero_blue_;
  QPushButton* save_;     // 按钮1
  QPushButton* restore_;  // 按钮2
  QPushButton* discard_;  // 按钮3
};

}  // namespace rosgen::appearance
