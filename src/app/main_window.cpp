#include "app/main_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/fatal.h"
#include "app/page_view.h"
#include "app/single_instance.h"
#include "appearance/start_page.h"
#include "script/product.h"

namespace rosgen::app {
namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

MainWindow::MainWindow(Desktop& desktop, StartupHooks hooks, const std::vector<Page>& pages, QWidget* parent)
    : QMainWindow(parent), env_(desktop), hooks_(std::move(hooks)) {
  env_.set_owner(this);
  setWindowTitle(q(product::kTitle));
  move(50, 50);
  resize(828, 655);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("选择夹1"));
  tabs_->setUsesScrollButtons(true);
  tabs_->tabBar()->setElideMode(Qt::ElideNone);
  for (const Page& page : pages) {
    forms_.push_back(std::make_unique<Form>(page));
    views_.push_back(nullptr);
    if (page.output.empty()) {
      tabs_->addTab(build_start_page(), QString::fromStdString(page.tab));
      continue;
    }
    // A holder for the page's view, which is built when the page is first shown.
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_->addTab(holder, QString::fromStdString(page.tab));
  }
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { guarded([&] { view(index); }); });
  setCentralWidget(tabs_);
  build_menus();
}

PageView* MainWindow::view(int index) {
  auto at = static_cast<size_t>(index);
  if (at >= views_.size()) return nullptr;
  if (views_[at] || forms_[at]->page().output.empty()) return views_[at];
  QWidget* holder = tabs_->widget(index);
  auto start = [this](Tool tool) { start_tool(tool); };
  views_[at] = new PageView(*forms_[at], env_, start, holder);
  holder->layout()->addWidget(views_[at]);
  return views_[at];
}

MainWindow::~MainWindow() {
  // The views unsubscribe from their forms, so they go first.
  delete tabs_;
  tabs_ = nullptr;
}

QWidget* MainWindow::build_start_page() {
  auto* page = new QWidget;
  auto* box = new QGroupBox(page);
  // The start page shows a blank page for the whole run.
  QWidget* blank = appearance::make_start_view(box);
  auto* mail = new QLabel(q(product::kMail), box);
  mail->setObjectName(QStringLiteral("超级链接框_邮箱"));
  mail->hide();
  auto* inner = new QVBoxLayout(box);
  inner->addWidget(blank);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(box);
  return page;
}

void MainWindow::build_menus() {
  struct Entry {
    const char* text;
    std::function<void()> action;
  };
  auto page = [this](int n) { return [this, n] { show_page(n); }; };
  auto hook = [this](std::function<void(QWidget*)>& fn) {
    return [this, &fn] {
      if (fn) fn(this);
    };
  };
  auto open = [this](const QString& address) { return [this, address] { env_.desktop().open_address(address); }; };
  const std::vector<std::pair<const char*, std::vector<Entry>>> menus = {
      {"&F.程序设置",
       {{"&S 外观配置", hook(hooks_.open_appearance)},
        {"&R 初始化界面", page(0)},
        {"&X 退出程序", [this] { close(); }}}},
      {"&S.系统", {{"&U 添加管理员帐号", page(1)}, {"&S 定时重启/关机", page(2)}, {"&Q 其它系统优化/设置", page(3)}}},
      {"&I.安装",
       {{"&O 单线固定IP安装设置", page(4)},
        {"&P 单线PPPOE拔号安装设置", page(5)},
        {"&R 多线固定IP负载安装设置", page(6)},
        {"&F 多线固定IP分流安装设置", page(7)},
        {"&L 多线PPPOE负载安装设置", page(8)},
        {"&S 多线PPPOE分流安装设置", page(9)},
        {"&T 双线固定IP电信网通安装设置", page(10)}}},
      {"&Q.限速", {{"Q& Queues常用限速", page(11)}, {"&P Pcq动态限速", page(12)}, {"P& Pcq速体限速", page(13)}}},
      {"&F.防火墙",
       {{"&P Ping", page(14)},
        {"&A ARP绑定(支持批量)", page(15)},
        {"&X 限制线程(TCP连接数)", page(16)},
        {"&F 封锁软件类", page(17)},
        {"&D 端口映射", page(18)},
        {"&O 封端口及封IP(支持批量)", page(19)},
        {"&C 封关键字及域名", page(20)}}},
      {"&V.VPN", {{"&P PPTP设置", page(21)}, {"&L L2TP设置", page(22)}}},
      {"&P.PPPOE",
       {{"&P PPPOE设置", page(23)}, {"&A 添加PPPOE帐号(支持批量)", page(24)}, {"&D DDNS动态域名服务", page(25)}}},
      {"&D.路由工具",
       {{"&W Winbox登陆器", [this] { start_tool(Tool::Winbox); }},
        {"&C 超级终端", [this] { start_tool(Tool::Terminal); }},
        {"&T Telnet", [this] { start_tool(Tool::Telnet); }}}},
      {"&H.帮助",
       {{"&F.我有新脚本要发布", [this] { contribute(); }},
        {"&U.检查更新", hook(hooks_.check_update)},
        {"&@.作者EMAIL",
         [this] {
           auto* mail = findChild<QLabel*>(QStringLiteral("超级链接框_邮箱"));
           env_.desktop().open_address(QStringLiteral("mailto:") + (mail ? mail->text() : q(product::kMail)));
         }},
        {"&Q.联系作者", open(q(product::kContactLink))},
        {"&W.作者网站", open(q(product::kWebSite))},
        {"&A.关于本程序", [this] { about(); }}}},
  };
  for (const auto& [title, entries] : menus) {
    QMenu* menu = menuBar()->addMenu(q(title));
    for (const Entry& e : entries) {
      QAction* action = menu->addAction(q(e.text));
      auto run = e.action;
      connect(action, &QAction::triggered, this, [run] { guarded(run); });
    }
  }
}

void MainWindow::show_page(int index) { tabs_->setCurrentIndex(index); }

void MainWindow::start_tool(Tool tool) {
  auto command = tool_command(tool, QString::fromStdString(env_.program_dir().string()));
  if (command) env_.desktop().start(*command);
}

void MainWindow::contribute() {
  // Whichever button closes the notice, the contact link opens.
  env_.desktop().message(this, q("如果您有新脚本发布请联系作者\r\n\r\n可以通过作者邮箱或者QQ联系\r\n\r\n欢迎来稿!"),
                         QString(), Desktop::Icon::None, Desktop::Buttons::OkCancel);
  env_.desktop().open_address(q(product::kContactLink));
}

void MainWindow::about() {
  env_.desktop().about(this, QStringLiteral("关于 ") + q(product::kName),
                       q(product::kTitle) + QStringLiteral("\n\n") + q(product::kStudio) + QStringLiteral("  ") +
                           q(product::kMail) + QStringLiteral("\n") + q(product::kWebSite));
}

std::optional<int> MainWindow::start_up(SingleInstance& guard) {
  std::optional<int> exit_code;
  guarded([&] {
    fatal_handler().owner = this;
    // 2: the announcement in every output box.
    if (hooks_.announcement) {
      Gbk text = Gbk::from_bytes(hooks_.announcement());
      for (auto& form : forms_) {
        if (!form->page().output.empty()) form->set_output(text);
      }
    }
    // 3: the version check may end the program here (the updater runs instead).
    if (hooks_.keep_running && !hooks_.keep_running(this)) {
      exit_code = 0;
      return;
    }
    // 4: the saved look.
    if (hooks_.apply_look) hooks_.apply_look(this);
    // 5: one copy at a time.
    if (!guard.acquire(windowTitle())) {
      env_.desktop().message(this,
                             QStringLiteral("“") + windowTitle() + QStringLiteral("”已经在运行中，请不要重复运行！"),
                             q(product::kStudio), Desktop::Icon::Warning);
      exit_code = 0;
      return;
    }
    // 6 and 7: the pages' initial field states.
    for (auto& form : forms_) {
      if (form->page().on_startup) form->page().on_startup(*form);
    }
  });
  for (PageView* view : views_) {
    if (view && view->panel()) view->panel()->flush();
  }
  return exit_code;
}

}  // namespace rosgen::app
