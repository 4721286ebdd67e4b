// The page view renders any declaration and keeps its widgets and the Form
// in step both ways. Tested with a small page declared here, which uses
// every kind of item a page can hold.
#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "app/fatal.h"
#include "app/page_view.h"
#include "app/window_env.h"
#include "gui_support.h"
#include "script/text.h"
#include "skin/skin_file.h"

using namespace rosgen;
using namespace rosgen::app;
using rosgen::test::FakeDesktop;
using rosgen::test::named;
using rosgen::test::q;
using rosgen::test::seen_apart;
using rosgen::test::shipped_skins;
using rosgen::test::wear;

namespace {

constexpr const char* kName = "编辑框_演示_名称";
constexpr const char* kLines = "编辑框_演示_多行";
constexpr const char* kSwitch = "选择框_演示_开关";
constexpr const char* kRate = "编辑框_演示_速率";
constexpr const char* kLevel = "组合框_演示_等级";
constexpr const char* kHidden = "编辑框_演示_隐藏";
constexpr const char* kShownOnly = "编辑框_演示_只读";
constexpr const char* kList = "超级列表框_演示";
constexpr const char* kAddress = "编辑框_演示_地址";
constexpr const char* kGateway = "编辑框_演示_网关";
constexpr const char* kOutput = "编辑框_演示_输出";

Outcome add_row(Ctx& c) {
  Gbk key = c.trimmed(kAddress);
  for (const Cells& r : c.form.rows(kList)) {
    if (equal_ignoring_case(r[0], key)) return c.refuse("不能重复添加IP地址！", "重复记录!");
  }
  c.form.add_row(kList, {key, c.trimmed(kGateway)});
  return Outcome::Done;
}

Outcome modify_row(Ctx& c) {
  int r = c.form.selected(kList);
  if (r >= 0) c.form.set_row(kList, r, {c.trimmed(kAddress), c.trimmed(kGateway)});
  return Outcome::Done;
}

Outcome delete_row(Ctx& c) {
  int r = c.form.selected(kList);
  if (r < 0) return c.refuse("请先选择要删除的表项再执行此操作!");
  c.form.remove_row(kList, r);
  return Outcome::Done;
}

Outcome generate(Ctx& c) {
  if (c.text(kName).empty()) return c.refuse("名称不能为空!");
  c.write("name="_a + c.trimmed(kName) + "\r\nrate="_a + c.rate(kRate) + "\r\n"_a + c.text(kLines));
  return Outcome::Done;
}

// A generator that changes fields, as some pages' generators do.
Outcome reset_fields(Ctx& c) {
  c.form.set_checked(kSwitch, true);
  c.form.set_text(kName, to_gbk("重置"));
  c.form.set_text(kLines, "a\r\nb"_a);
  c.form.set_index(kLevel, 2);
  c.form.set_enabled(kRate, true);
  c.form.set_checked("单选框_乙", true);
  return Outcome::Done;
}

Gbk numbered_lines(int n) {
  Gbk out;
  for (int i = 0; i < n; ++i) out += "line "_a + number_text(i) + "\r\n"_a;
  return out;
}

Outcome append_lines(Ctx& c) {
  c.write(Gbk());
  for (int i = 0; i < 400; ++i) c.append("line "_a + number_text(i) + "\r\n"_a);
  return Outcome::Done;
}

Outcome write_lines(Ctx& c) {
  c.write(numbered_lines(400));
  return Outcome::Done;
}

// Asks for a text, as the identity button of the system page does.
Outcome ask(Ctx& c) {
  auto answer = c.env.input_box("请输入新的名称:", "设置名称", c.text(kName));
  if (!answer) return Outcome::Done;
  c.write("name="_a + *answer);
  return Outcome::Done;
}

Outcome fail(Ctx&) { throw std::runtime_error("broken generator"); }
Outcome fail_with_code(Ctx&) { throw std::system_error(5, std::generic_category()); }

const Page& demo() {
  static const Page page = [] {
    Page p;
    p.index = 1;
    p.slug = "demo";
    p.tab = "演示";
    p.caption = "演示页脚本生成";
    p.output = kOutput;
    p.panel = {"按钮901", "按钮902", "按钮903", "按钮904"};
    Field rate = edit(kRate, "速率:", "100", "KByte/s");
    Field hidden = edit(kHidden, "", "");
    hidden.visible = false;
    Field shown_only = edit(kShownOnly, "接口:", "all");
    shown_only.read_only = true;
    Field toggle_box = check(kSwitch, "开启限速", false, "(开启后可填速率)");
    toggle_box.on_toggle = [](Form& f) { f.set_enabled(kRate, f.checked(kSwitch)); };
    LineList list{kList, {{"     地址", 130, kAddress}, {"网关", 90, kGateway}}, "add", [](Form& f) {
                    const Cells& cells = f.rows(kList)[static_cast<size_t>(f.selected(kList))];
                    f.set_text(kAddress, cells[0]);
                    f.set_text(kGateway, cells[1]);
                  }};
    p.items = {
        group("基本设置",
              {
                  edit(kName, "名称:", v::name("默认名"), "(不能为空)"),
                  multiline(kLines, "多行:", v::addresses("第一行\r\n第二行")),
                  row({toggle_box, rate}),
                  combo(kLevel, "等级:", {"请选择等级", "甲级", "乙级"}, -1),
                  row({radio("单选框_甲", "甲", "a", true), radio("单选框_乙", "乙", "a", false),
                       radio("单选框_丙", "丙", "b", true), radio("单选框_丁", "丁", "b", false)}),
                  hidden,
                  shown_only,
              }),
        group("当前配置",
              {
                  list,
                  row({edit(kAddress, "  IP地址：", "10.0.0.1"), edit(kGateway, "网关地址：", "10.0.0.254")}),
                  row({button("delete", "", "删除帐号", delete_row), button("modify", "", "修改帐号", modify_row),
                       button("add", "", "添加帐号", add_row)}),
              }),
        note("注意:\r\n这是说明文字"),
        row({button("gen", "按钮_演示_生成", "生成脚本", generate), button("reset", "", "重置", reset_fields),
             button("append", "", "逐行", append_lines), button("write", "", "整段", write_lines),
             button("ask", "", "询问", ask), button("fail", "", "出错", fail),
             button("fail-code", "", "出错5", fail_with_code)}),
    };
    p.on_startup = [](Form& f) { f.set_enabled(kRate, false); };
    return p;
  }();
  return page;
}

// The colour most of a field's inside shows.
QRgb fill_of(const QImage& image) {
  std::map<QRgb, int> seen;
  for (int y = 4; y < image.height() - 4; ++y) {
    for (int x = 4; x < image.width() - 4; ++x) ++seen[image.pixel(x, y)];
  }
  return std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}
QRgb fill(QWidget* w) { return fill_of(w->grab().toImage()); }

// Pixels unlike the fill at the field's top right end, where its warning sign stands.
int marked_at_end(const QImage& image) {
  const QRgb background = fill_of(image);
  int marked = 0;
  for (int y = 4; y < std::min(image.height(), 24) - 4; ++y) {
    for (int x = image.width() - 24; x < image.width() - 4; ++x) marked += seen_apart(image.pixel(x, y), background);
  }
  return marked;
}

// WCAG contrast of the field's text with its fill: the strongest of its left half's pixels.
double text_contrast(QWidget* w) {
  const QImage image = w->grab().toImage();
  const QColor back = QColor::fromRgb(fill_of(image));
  double best = 1;
  for (int y = 4; y < std::min(image.height(), 24) - 4; ++y) {
    for (int x = 4; x < image.width() / 2; ++x) best = std::max(best, skin::contrast(image.pixel(x, y), back));
  }
  return best;
}

// An object whose event handler fails, to reach the application's own guard.
class Failing : public QObject {
 public:
  bool event(QEvent*) override { throw std::runtime_error("failed in an event"); }
};

}  // namespace

class PageViewTest : public QObject {
  Q_OBJECT

  FakeDesktop desktop;
  std::unique_ptr<WindowEnv> env;
  std::unique_ptr<Form> form;
  std::unique_ptr<PageView> view;
  std::vector<int> exits;
  std::vector<Tool> tools;

  template <typename T>
  T* w(const std::string& name) {
    return named<T>(view.get(), name);
  }
  QPushButton* button_with_id(const char* id) {
    for (auto* b : view->findChildren<QPushButton*>()) {
      if (b->property("buttonId").toString() == QLatin1String(id)) return b;
    }
    return nullptr;
  }
  void press(const char* id) {
    QPushButton* b = button_with_id(id);
    QVERIFY2(b, id);
    QTest::mouseClick(b, Qt::LeftButton);
  }
  void type_into(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (text.isEmpty()) return;
    // Committed the way an input method commits Chinese text.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
  }

 private slots:
  void init() {
    desktop = FakeDesktop();
    exits.clear();
    tools.clear();
    env = std::make_unique<WindowEnv>(desktop);
    form = std::make_unique<Form>(demo());
    demo().on_startup(*form);
    view = std::make_unique<PageView>(*form, *env, [this](Tool t) { tools.push_back(t); });
    view->resize(820, 600);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    install_fatal_handler({&desktop, view.get(), {}, [this](int code) { exits.push_back(code); }});
  }

  void cleanup() {
    wear(QStringLiteral("none"));
    install_fatal_handler({});
    view.reset();
    form.reset();
    env.reset();
  }

  void every_item_is_rendered_with_its_designer_name_and_default() {
    QCOMPARE(w<QLineEdit>(kName)->text(), QStringLiteral("默认名"));
    QCOMPARE(w<QPlainTextEdit>(kLines)->toPlainText(), QStringLiteral("第一行\n第二行"));
    QCOMPARE(w<QCheckBox>(kSwitch)->text(), QStringLiteral("开启限速"));
    QVERIFY(!w<QCheckBox>(kSwitch)->isChecked());
    QCOMPARE(w<QComboBox>(kLevel)->count(), 3);
    QCOMPARE(w<QComboBox>(kLevel)->itemText(1), QStringLiteral("甲级"));
    QCOMPARE(w<QComboBox>(kLevel)->currentIndex(), -1);
    QVERIFY(w<QRadioButton>("单选框_甲")->isChecked());
    QVERIFY(w<QRadioButton>("单选框_丙")->isChecked());
    QVERIFY(!w<QRadioButton>("单选框_乙")->isChecked());
    QVERIFY(w<QLineEdit>(kHidden) && !w<QLineEdit>(kHidden)->isVisible());
    QVERIFY(w<QLineEdit>(kShownOnly)->isReadOnly());
    // Start-up states reach the widgets.
    QVERIFY(!w<QLineEdit>(kRate)->isEnabled());
    QVERIFY(w<QLineEdit>(kName)->isEnabled());

    QStringList labels;
    for (auto* l : view->findChildren<QLabel*>()) labels << l->text();
    for (const char* text :
         {"名称:", "(不能为空)", "多行:", "KByte/s", "(开启后可填速率)", "  IP地址：", "注意:\n这是说明文字"}) {
      QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
    }
    QStringList groups;
    for (auto* g : view->findChildren<QGroupBox*>()) groups << g->title();
    for (const char* caption : {"演示页脚本生成", "基本设置", "当前配置"})
      QVERIFY2(groups.contains(QString::fromUtf8(caption)), caption);

    // Buttons carry their designer name, or their id when they have none.
    QCOMPARE(w<QPushButton>("按钮_演示_生成")->text(), QStringLiteral("生成脚本"));
    QCOMPARE(w<QPushButton>("add")->text(), QStringLiteral("添加帐号"));
    QCOMPARE(w<QPushButton>("按钮901")->text(), QStringLiteral("复制生成脚本"));
    QCOMPARE(w<QPushButton>("按钮904")->text(), QStringLiteral("作者网站"));
    QVERIFY(w<QPlainTextEdit>(kOutput));

    auto* tree = w<QTreeWidget>(kList);
    QCOMPARE(tree->columnCount(), 2);
    QCOMPARE(tree->headerItem()->text(0), QStringLiteral("     地址"));
    QCOMPARE(tree->headerItem()->text(1), QStringLiteral("网关"));
    QCOMPARE(tree->columnWidth(0), 130);
    QCOMPARE(tree->columnWidth(1), 90);
    QCOMPARE(tree->topLevelItemCount(), 0);
  }

  // Focus moves through the fields in page order.
  void tab_order_follows_the_page() {
    QWidget* first = w<QLineEdit>(kName);
    QWidget* next = first->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    QCOMPARE(next, static_cast<QWidget*>(w<QPlainTextEdit>(kLines)));
  }

  void typed_text_reaches_the_form_as_gbk() {
    type_into(w<QLineEdit>(kName), QStringLiteral("网吧 A"));
    QCOMPARE(form->text(kName), to_gbk("网吧 A"));
    QCOMPARE(form->text(kName).bytes(), std::string("\xCD\xF8\xB0\xC9 A"));

    // Ordinary key presses too; the cursor stays where the person types.
    auto* edit = w<QLineEdit>(kAddress);
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, "0");
    QCOMPARE(form->text(kAddress), to_gbk("10.0.0.10"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, "1");
    QCOMPARE(edit->text(), QStringLiteral("110.0.0.10"));
    QCOMPARE(edit->cursorPosition(), 1);
  }

  void multiline_text_reaches_the_form_with_crlf() {
    auto* box = w<QPlainTextEdit>(kLines);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, "ab");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "cd");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(form->text(kLines).bytes(), std::string("ab\r\ncd\r\n"));
    // What the box shows after a generator reads it is unchanged.
    QCOMPARE(box->toPlainText(), QStringLiteral("ab\ncd\n"));
  }

  void a_generator_changing_fields_shows_at_once() {
    press("reset");
    QVERIFY(w<QCheckBox>(kSwitch)->isChecked());
    QCOMPARE(w<QLineEdit>(kName)->text(), QStringLiteral("重置"));
    QCOMPARE(w<QPlainTextEdit>(kLines)->toPlainText(), QStringLiteral("a\nb"));
    QCOMPARE(w<QComboBox>(kLevel)->currentIndex(), 2);
    QVERIFY(w<QLineEdit>(kRate)->isEnabled());
    QVERIFY(w<QRadioButton>("单选框_乙")->isChecked());
    QVERIFY(!w<QRadioButton>("单选框_甲")->isChecked());
  }

  void a_check_box_click_runs_its_toggle() {
    auto* box = w<QCheckBox>(kSwitch);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(form->checked(kSwitch));
    QVERIFY(form->enabled(kRate));
    QVERIFY(w<QLineEdit>(kRate)->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!form->checked(kSwitch));
    QVERIFY(!w<QLineEdit>(kRate)->isEnabled());
  }

  // Radio buttons exclude the partners of their declared group only, even
  // when two groups share one row.
  void radio_buttons_follow_their_declared_group() {
    QTest::mouseClick(w<QRadioButton>("单选框_乙"), Qt::LeftButton);
    QVERIFY(form->checked("单选框_乙"));
    QVERIFY(!form->checked("单选框_甲"));
    QVERIFY(!w<QRadioButton>("单选框_甲")->isChecked());
    QVERIFY(form->checked("单选框_丙"));
    QVERIFY(w<QRadioButton>("单选框_丙")->isChecked());
    // Clicking the chosen one again keeps it chosen.
    QTest::mouseClick(w<QRadioButton>("单选框_乙"), Qt::LeftButton);
    QVERIFY(form->checked("单选框_乙"));
    QVERIFY(w<QRadioButton>("单选框_乙")->isChecked());
  }

  void a_combo_choice_reaches_the_form() {
    auto* combo = w<QComboBox>(kLevel);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(form->index(kLevel), combo->currentIndex());
    QVERIFY(form->index(kLevel) >= 0);
    QCOMPARE(form->text(kLevel), to_gbk(combo->currentText().toStdString()));
    form->set_index(kLevel, -1);
    QCOMPARE(combo->currentIndex(), -1);
  }

  void generate_fills_the_output_box_and_a_refusal_leaves_it() {
    press("gen");
    QString expected = QStringLiteral("name=默认名\nrate=800000\n第一行\n第二行");
    QCOMPARE(w<QPlainTextEdit>(kOutput)->toPlainText(), expected);
    QCOMPARE(form->output(), to_gbk("name=默认名\r\nrate=800000\r\n第一行\r\n第二行"));

    type_into(w<QLineEdit>(kName), QString());
    press("gen");
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].caption, QStringLiteral("信息："));
    QCOMPARE(desktop.messages[0].text, QStringLiteral("名称不能为空!"));
    QVERIFY(desktop.messages[0].icon == Desktop::Icon::None);
    QVERIFY(desktop.messages[0].buttons == Desktop::Buttons::Ok);
    QCOMPARE(w<QPlainTextEdit>(kOutput)->toPlainText(), expected);
  }

  // Line by line output ends up whole and shown from its end; one write is
  // shown from its beginning.
  void appended_output_shows_its_end_and_written_output_its_beginning() {
    auto* box = w<QPlainTextEdit>(kOutput);
    press("append");
    QCOMPARE(form->output(), numbered_lines(400));
    QCOMPARE(box->toPlainText(), shown(numbered_lines(400)));
    QVERIFY(box->verticalScrollBar()->maximum() > 0);
    QCOMPARE(box->verticalScrollBar()->value(), box->verticalScrollBar()->maximum());
    press("write");
    QCOMPARE(box->toPlainText(), shown(numbered_lines(400)));
    QCOMPARE(box->verticalScrollBar()->value(), 0);
  }

  // Changes that do not come from a button show once control is back in the event loop.
  void output_set_from_outside_shows_after_the_event_loop() {
    form->set_output(to_gbk("公告\r\n第二行"));
    QTRY_COMPARE(w<QPlainTextEdit>(kOutput)->toPlainText(), QStringLiteral("公告\n第二行"));
  }

  void edits_in_the_output_box_reach_the_form() {
    auto* box = w<QPlainTextEdit>(kOutput);
    box->setFocus();
    QTest::keyClicks(box, "/ip");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "x");
    QCOMPARE(form->output().bytes(), std::string("/ip\r\nx"));
  }

  void line_list_rows_and_selection_follow_the_form() {
    auto* tree = w<QTreeWidget>(kList);
    press("add");
    type_into(w<QLineEdit>(kAddress), QStringLiteral("10.0.0.2"));
    type_into(w<QLineEdit>(kGateway), QStringLiteral("10.0.0.253"));
    press("add");
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("10.0.0.2"));
    QCOMPARE(tree->topLevelItem(1)->text(1), QStringLiteral("10.0.0.253"));
    QCOMPARE(form->selected(kList), -1);
    QVERIFY(tree->selectedItems().isEmpty());

    // A duplicate is refused by the page and the list stays as it was.
    type_into(w<QLineEdit>(kAddress), QStringLiteral(" 10.0.0.1 "));
    press("add");
    QCOMPARE(desktop.captions(), QStringList{QStringLiteral("重复记录!")});
    QCOMPARE(tree->topLevelItemCount(), 2);

    // A click selects the row in the form and runs the list's click.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(0)).center());
    QCOMPARE(form->selected(kList), 0);
    QCOMPARE(w<QLineEdit>(kAddress)->text(), QStringLiteral("10.0.0.1"));
    QCOMPARE(w<QLineEdit>(kGateway)->text(), QStringLiteral("10.0.0.254"));

    type_into(w<QLineEdit>(kGateway), QStringLiteral("10.0.0.1"));
    press("modify");
    QCOMPARE(tree->topLevelItem(0)->text(1), QStringLiteral("10.0.0.1"));
    QCOMPARE(form->selected(kList), 0);
    QVERIFY(tree->topLevelItem(0)->isSelected());

    // A selection made by the form shows in the list.
    form->select(kList, 1);
    QVERIFY(tree->topLevelItem(1)->isSelected());
    QVERIFY(!tree->topLevelItem(0)->isSelected());

    press("delete");
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("10.0.0.1"));
    QCOMPARE(form->selected(kList), -1);
    QVERIFY(tree->selectedItems().isEmpty());

    press("delete");
    QCOMPARE(desktop.messages.back().caption, QStringLiteral("信息："));
    QCOMPARE(desktop.messages.back().text, QStringLiteral("请先选择要删除的表项再执行此操作!"));
    QCOMPARE(tree->topLevelItemCount(), 1);
  }

  void the_input_box_answer_enters_as_gbk() {
    desktop.answer = QStringLiteral("路由器一");
    press("ask");
    QCOMPARE(desktop.asked.size(), size_t{1});
    QCOMPARE(desktop.asked[0].prompt, QStringLiteral("请输入新的名称:"));
    QCOMPARE(desktop.asked[0].title, QStringLiteral("设置名称"));
    QCOMPARE(desktop.asked[0].initial, QStringLiteral("默认名"));
    QCOMPARE(form->output(), "name="_a + to_gbk("路由器一"));
    QCOMPARE(w<QPlainTextEdit>(kOutput)->toPlainText(), QStringLiteral("name=路由器一"));

    desktop.answer.reset();
    press("ask");
    QCOMPARE(form->output(), "name="_a + to_gbk("路由器一"));
  }

  void panel_buttons_start_their_tools() {
    QTest::mouseClick(w<QPushButton>("按钮902"), Qt::LeftButton);
    QTest::mouseClick(w<QPushButton>("按钮903"), Qt::LeftButton);
    QCOMPARE(tools, (std::vector<Tool>{Tool::Winbox, Tool::Terminal}));
    QTest::mouseClick(w<QPushButton>("按钮904"), Qt::LeftButton);
    QCOMPARE(desktop.opened, QStringList{QStringLiteral("http://rosgen.example.org")});
    QVERIFY(desktop.messages.empty());
  }

  // In every skin a field warned about is plain to see and unlike focus: its
  // whole inside takes a tint, a sign stands at its end, its text stays
  // readable, and the reason shows over both. A good value takes it all away.
  void a_warning_is_unlike_focus_in_every_skin_data() {
    QTest::addColumn<QString>("skin");
    for (const QString& skin : QStringList{QStringLiteral("none")} + shipped_skins()) {
      QTest::newRow(qPrintable(skin)) << skin;
    }
  }

  void a_warning_is_unlike_focus_in_every_skin() {
    QFETCH(QString, skin);
    QVERIFY(wear(skin));
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    struct Case {
      const char* warned;
      const char* plain;  // the same kind of box, never warned about
      const char* bad;
      const char* good;
    };
    for (const Case& c :
         {Case{kName, kGateway, "a b", "ab"}, Case{kLines, kOutput, "10.0.0.1\r\n10.0.0.x", "10.0.0.1"}}) {
      QWidget* warned = w<QWidget>(c.warned);
      QWidget* plain = w<QWidget>(c.plain);
      QWidget* elsewhere = w<QWidget>("按钮_演示_生成");
      form->set_text(c.warned, to_gbk(c.good));
      elsewhere->setFocus();
      const QImage good = warned->grab().toImage();
      QCOMPARE(marked_at_end(good), 0);

      form->set_text(c.warned, to_gbk(c.bad));
      QVERIFY2(warned->property("valueWarning").toBool(), c.warned);
      plain->setFocus();
      QVERIFY2(plain->hasFocus(), c.plain);
      QVERIFY2(seen_apart(fill(warned), fill(plain)), c.warned);
      QVERIFY2(text_contrast(warned) >= 4.5, c.warned);  // without the cursor, which may be dark
      warned->setFocus();
      QVERIFY2(seen_apart(fill(warned), fill(plain)), c.warned);
      QVERIFY2(marked_at_end(warned->grab().toImage()) >= 10, c.warned);
      const QString reason = warned->toolTip();
      QVERIFY2(!reason.isEmpty(), c.warned);
      auto* sign = warned->findChild<QObject*>(QStringLiteral("valueWarningSign"));
      QVERIFY2(sign && sign->property("toolTip").toString() == reason, c.warned);

      form->set_text(c.warned, to_gbk(c.good));
      elsewhere->setFocus();
      QVERIFY2(warned->grab().toImage() == good, c.warned);
      QVERIFY(warned->toolTip().isEmpty() && !warned->findChild<QObject*>(QStringLiteral("valueWarningSign")));
    }
  }

  void a_failing_handler_ends_the_program_with_the_fatal_message() {
    QFETCH(QByteArray, button);
    QFETCH(QString, code);
    QTest::mouseClick(button_with_id(button.constData()), Qt::LeftButton);
    QCOMPARE(exits, std::vector<int>{1});
    QCOMPARE(desktop.messages.size(), size_t{1});
    QCOMPARE(desktop.messages[0].caption, QStringLiteral("严重错误！！"));
    QCOMPARE(desktop.messages[0].text,
             QStringLiteral("非常报谦，程序遇到严重的问题需要立即退出，错误代码:") + code +
                 QStringLiteral("\r\n\r\n这可能是由于一些文件的访问受到限制或者其它未知原因所导致。"));
    QVERIFY(desktop.messages[0].icon == Desktop::Icon::Error);
  }
  void a_failing_handler_ends_the_program_with_the_fatal_message_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("code");
    QTest::newRow("any error") << QByteArray("fail") << QStringLiteral("1");
    QTest::newRow("system error") << QByteArray("fail-code") << QStringLiteral("5");
  }

  void an_error_escaping_any_event_reaches_the_fatal_handler() {
    Failing failing;
    QEvent event(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&failing, &event));
    QCOMPARE(exits, std::vector<int>{1});
    QCOMPARE(desktop.captions(), QStringList{QStringLiteral("严重错误！！")});
  }
};

ROSGEN_GUI_TEST_MAIN(PageViewTest)
#include "page_view_test.moc"
