#include "appearance/appearance_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <initializer_list>

namespace rosgen::appearance {
namespace {

QSlider* make_slider(QWidget* parent, const char* name, int min, int max, int designed, int x, int y, int width) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setObjectName(QString::fromUtf8(name));
  s->setRange(min, max);
  s->setValue(designed);
  s->setPageStep(std::max(1, (max - min) / 10));
  s->setGeometry(x, y, width, 22);
  return s;
}

void make_label(QWidget* parent, const char* text, int x, int y, int width) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setGeometry(x, y, width, 22);
}

QGroupBox* make_group(QWidget* parent, const char* name, const QString& title, int x, int y, int w, int h) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(QString::fromUtf8(name));
  g->setGeometry(x, y, w, h);
  return g;
}

QPushButton* make_button(QWidget* parent, const char* name, const char* text, int x) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setObjectName(QString::fromUtf8(name));
  b->setGeometry(x, 246, 99, 32);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

AppearanceWindow::AppearanceWindow(Appearance& appearance, QWidget* parent) : QDialog(parent), appearance_(appearance) {
  setObjectName(QStringLiteral("外观配置"));
  setFixedSize(640, 288);

  skin_group_ = make_group(this, "分组框4", QStringLiteral("皮肤主题"), 4, 2, 308, 44);
  custom_skin_ = new QCheckBox(QStringLiteral("启用自定义皮肤:"), skin_group_);
  custom_skin_->setObjectName(QStringLiteral("选择框2"));
  custom_skin_->move(7, 20);
  custom_skin_->adjustSize();
  skins_ = new QComboBox(skin_group_);
  skins_->setObjectName(QStringLiteral("组合框1"));
  skins_->setGeometry(120, 15, 130, 24);
  refresh_ = new QLabel(QStringLiteral("<a href=\"refresh\">刷新</a>"), skin_group_);
  refresh_->setObjectName(QStringLiteral("超级链接框1"));
  refresh_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  refresh_->move(258, 19);
  refresh_->adjustSize();

  colour_group_ = make_group(this, "分组框1", QStringLiteral("色调,饱和度,亮度"), 3, 49, 311, 118);
  make_label(colour_group_, "色  调:", 10, 24, 54);
  tone_ = make_slider(colour_group_, "滑块条_色调", 0, 180, 0, 66, 24, 235);
  make_label(colour_group_, "饱和度:", 10, 55, 54);
  saturation_ = make_slider(colour_group_, "滑块条_饱和度", 0, 100, 0, 66, 55, 235);
  make_label(colour_group_, "亮  度:", 10, 86, 54);
  brightness_ = make_slider(colour_group_, "滑块条_亮度", 0, 100, 0, 66, 86, 235);

  menu_group_ = make_group(this, "分组框3", QStringLiteral("菜单"), 3, 171, 311, 56);
  make_label(menu_group_, "透明度:", 10, 24, 54);
  menu_ = make_slider(menu_group_, "滑块条_菜单透明度", 100, 255, 100, 66, 24, 235);

  aero_ = new QCheckBox(QStringLiteral("启用AERO特效"), this);
  aero_->setObjectName(QStringLiteral("选择框1"));
  aero_->move(327, 8);
  aero_->adjustSize();
  aero_group_ = make_group(this, "分组框2", kAeroCaptionOff, 323, 32, 305, 249);
  struct Row {
    const char* label;
    const char* name;
    int max;
    int designed;
    QSlider** slider;
  } rows[] = {
      {"透明度:", "滑块条_AERO_透明度", 255, 120, &aero_alpha_},
      {"阴影大小:", "滑块条_AERO_阴影大小", 18, 10, &aero_size_},
      {"阴影锐度:", "滑块条_AERO_阴影锐度", 255, 8, &aero_sharpness_},
      {"阴影亮度:", "滑块条_AERO_阴影亮度", 255, 0, &aero_brightness_},
      {"红色分量:", "滑块条_AERO_RED", 255, 0, &aero_red_},
      {"绿色分量:", "滑块条_AERO_GREEN", 255, 0, &aero_green_},
      {"蓝色分量:", "滑块条_AERO_blue", 255, 0, &aero_blue_},
  };
  int y = 24;
  for (const Row& r : rows) {
    make_label(aero_group_, r.label, 10, y, 66);
    *r.slider = make_slider(aero_group_, r.name, 0, r.max, r.designed, 78, y, 215);
    y += 31;
  }
  // The glass sliders wait for the glass to be switched on, as the caption says.
  set_aero_controls_enabled(false);

  save_ = make_button(this, "按钮1", "保存外观(&S)", 8);
  restore_ = make_button(this, "按钮2", "恢复上次设置(&D)", 110);
  discard_ = make_button(this, "按钮3", "放弃(&C)", 213);

  connect(custom_skin_, &QCheckBox::clicked, this, &AppearanceWindow::on_custom_skin_clicked);
  connect(skins_, &QComboBox::currentIndexChanged, this, &AppearanceWindow::on_skin_selected);
  connect(refresh_, &QLabel::linkActivated, this, [this] { refill_skins(); });
  connect(aero_, &QCheckBox::clicked, this, &AppearanceWindow::on_aero_clicked);
  // Saturation and brightness go through the hue's handler, so every change
  // passes all three; likewise all glass sliders go through one handler.
  for (QSlider* s : {tone_, saturation_, brightness_})
    connect(s, &QSlider::valueChanged, this, &AppearanceWindow::on_hsv_moved);
  connect(menu_, &QSlider::valueChanged, this, &AppearanceWindow::on_menu_moved);
  for (QSlider* s : {aero_alpha_, aero_size_, aero_sharpness_, aero_brightness_, aero_red_, aero_green_, aero_blue_}) {
    connect(s, &QSlider::valueChanged, this, &AppearanceWindow::on_aero_moved);
  }
  connect(save_, &QPushButton::clicked, this, &AppearanceWindow::on_save);
  connect(restore_, &QPushButton::clicked, this, &AppearanceWindow::on_restore);
  connect(discard_, &QPushButton::clicked, this, &AppearanceWindow::on_discard);
}

void AppearanceWindow::prepare(const QString& caption) {
  const SettingsFile& settings = appearance_.settings();
  if (QWidget* owner = parentWidget()) {
    QRect o = owner->window()->frameGeometry();
    move(o.left() + (o.width() - width()) / 2, o.top() + (o.height() - height()) / 2);
  }
  if (settings.text(key::kSection, key::kAero, "0") == "1") {
    aero_->setChecked(true);
    set_aero_controls_enabled(false);
  }
  std::string name = settings.text(key::kSection, key::kSkinName, "Null");
  std::error_code ec;
  if (std::filesystem::is_regular_file(appearance_.skin_file(name), ec)) {
    custom_skin_->setChecked(true);
    QSignalBlocker quiet(skins_);
    skins_->addItem(QString::fromStdString(name));
    skins_->setCurrentIndex(0);
  }
  enable_skin_controls(custom_skin_->isChecked());
  refill_skins();
  appearance_.load_and_apply();
  setWindowTitle(caption);
  saved_ = false;
}

void AppearanceWindow::enable_skin_controls(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{aero_, skins_, colour_group_, aero_group_, menu_group_}) {
    w->setEnabled(on);
  }
}

void AppearanceWindow::set_aero_controls_enabled(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{aero_group_, aero_red_, aero_blue_, aero_green_, aero_alpha_,
                                                    aero_size_, aero_sharpness_, aero_brightness_}) {
    w->setEnabled(on);
  }
  aero_group_->setTitle(on ? kAeroCaptionOn : kAeroCaptionOff);
}

void AppearanceWindow::show_look(const Look& look) {
  // Showing saved values is not a change to preview.
  const std::pair<QSlider*, int> values[] = {
      {tone_, look.tone},
      {saturation_, look.saturation},
      {brightness_, look.brightness},
      {menu_, look.menu},
      {aero_alpha_, look.aero_alpha},
      {aero_size_, look.aero_size},
      {aero_sharpness_, look.aero_sharpness},
      {aero_brightness_, look.aero_brightness},
      {aero_red_, look.aero_red},
      {aero_green_, look.aero_green},
      {aero_blue_, look.aero_blue},
  };
  for (auto [slider, value] : values) {
    QSignalBlocker quiet(slider);
    slider->setValue(value);
  }
}

void AppearanceWindow::show_applied(bool custom_skin_active, bool aero, const std::string& skin_name) {
  custom_skin_->setChecked(custom_skin_active);
  aero_->setChecked(aero);
  // Keep the window telling the truth: controls follow the check box, and the
  // list shows the skin now on the program when nothing is chosen there.
  enable_skin_controls(custom_skin_active);
  if (custom_skin_active && skins_->currentIndex() < 0) {
    QSignalBlocker quiet(skins_);
    skins_->setCurrentIndex(
        skins_->findText(QString::fromStdString(skin_name), Qt::MatchExactly | Qt::MatchCaseSensitive));
  }
}

void AppearanceWindow::refill_skins() {
  QString noted = skins_->currentIndex() >= 0 ? skins_->currentText() : QString();
  QSignalBlocker quiet(skins_);
  skins_->clear();
  QDir dir(QString::fromStdU16String(appearance_.skins_dir().u16string()));
  skins_->addItems(dir.entryList({QStringLiteral("*.she")}, QDir::Files, QDir::Name | QDir::IgnoreCase));
  skins_->setCurrentIndex(noted.isEmpty() ? -1 : skins_->findText(noted, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

Look AppearanceWindow::look() const {
  Look l;
  l.tone = tone_->value();
  l.saturation = saturation_->value();
  l.brightness = brightness_->value();
  l.menu = menu_->value();
  l.aero_alpha = aero_alpha_->value();
  l.aero_size = aero_size_->value();
  l.aero_sharpness = aero_sharpness_->value();
  l.aero_brightness = aero_brightness_->value();
  l.aero_red = aero_red_->value();
  l.aero_green = aero_green_->value();
  l.aero_blue = aero_blue_->value();
  return l;
}

void AppearanceWindow::on_custom_skin_clicked(bool checked) {
  enable_skin_controls(checked);
  if (checked) {
    appearance_.load_and_apply();
  } else if (appearance_.has_engine()) {
    appearance_.set_custom_skin_active(false);
    appearance_.engine()->detach();
  }
}

void AppearanceWindow::on_skin_selected(int index) {
  if (index < 0 || !appearance_.has_engine()) return;
  std::filesystem::path file = appearance_.skin_file(skins_->itemText(index).toStdString());
  if (file.empty()) return;
  appearance_.engine()->attach_ex(reinterpret_cast<const char*>(file.u8string().c_str()), "");
}

void AppearanceWindow::on_aero_clicked(bool checked) {
  set_aero_controls_enabled(checked);
  if (appearance_.has_engine()) appearance_.engine()->set_aero(checked);
}

void AppearanceWindow::on_hsv_moved() {
  if (appearance_.has_engine())
    appearance_.engine()->adjust_hsv(tone_->value(), saturation_->value(), brightness_->value());
}

void AppearanceWindow::on_menu_moved() {
  if (appearance_.has_engine()) appearance_.engine()->set_menu_alpha(menu_->value());
}

void AppearanceWindow::on_aero_moved() {
  if (!appearance_.has_engine()) return;
  appearance_.engine()->adjust_aero(aero_alpha_->value(), aero_brightness_->value(), aero_sharpness_->value(),
                                    aero_size_->value(), 0, 0, aero_red_->value(), aero_green_->value(),
                                    aero_blue_->value());
}

void AppearanceWindow::on_save() {
  std::string name = "Null";
  if (custom_skin_->isChecked())
    name = skins_->currentIndex() >= 0 ? skins_->currentText().toStdString() : std::string();
  if (!appearance_.save(name, aero_->isChecked(), look())) {
    // Closing now would throw the choice away without a word.
    appearance_.message()(this, windowTitle(),
                          QStringLiteral("外观设置无法保存到\n%1\n请检查该文件是否可写。")
                              .arg(QString::fromStdU16String(appearance_.settings().path().u16string())),
                          Icon::Warning);
    return;
  }
  saved_ = true;
  accept();
}

void AppearanceWindow::on_restore() { appearance_.load_and_apply(); }

void AppearanceWindow::on_discard() {
  appearance_.load_and_apply();
  saved_ = false;
  reject();
}

}  // namespace rosgen::appearance
