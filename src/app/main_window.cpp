#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/fatal.h"
#include "app/page_view.h"
#include "app/single_instance.h"
#include "appearance/start_page.h"
#include "os/os.h"
#include "script/product.h"

namespace rosgen::app {
namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

QString qpath(const std::filesystem::path& p) {
  return QDir::toNativeSeparators(QString::fromStdU16String(p.u16string()));
}

// A menu text without its accelerator: "&U 添加管理员帐号" -> "添加管理员帐号", "&S.系统" -> "系统".
QString plain(const char* text) {
  QString t = q(text);
  const qsizetype space = t.indexOf(QLatin1Char(' '));
  if (space > 0 && space <= 2 && t.left(space).contains(QLatin1Char('&'))) {
    t = t.mid(space + 1);
  } else if (t.size() > 3 && t[0] == QLatin1Char('&') && t[2] == QLatin1Char('.')) {
    t = t.mid(3);
  }
  return t.remove(QLatin1Char('&'));
}

#ifdef _WIN32
QString missing_tool_text(Tool tool, const QString& program_dir) {
  const QString tools = QDir::toNativeSeparators(program_dir + QStringLiteral("/Tools/"));
  switch (tool) {
    case Tool::Winbox:
      return QStringLiteral("没有找到 WinBox：") + tools + QStringLiteral("Winbox.exe\r\n\r\n请把 Winbox.exe 放进 ") +
             tools + QStringLiteral(" 文件夹。");
    case Tool::Terminal:
      return QStringLiteral("没有找到超级终端：") + tools +
             QStringLiteral("hypertrm.exe\r\n\r\n请把 hypertrm.exe 放进 ") + tools + QStringLiteral(" 文件夹。");
    case Tool::Telnet: break;
  }
  return QStringLiteral("没有找到 telnet。\r\n\r\n请在“启用或关闭 Windows 功能”中打开“Telnet 客户端”。");
}
#else
// Says what tool_command() looked for and which of it is missing.
QString missing_tool_text(Tool tool, const QString& program_dir) {
  const QString tools = QDir(program_dir).filePath(QStringLiteral("Tools"));
  auto missing_programs = [](const QStringList& names) {
    QStringList missing;
    for (const QString& name : names) {
      if (QStandardPaths::findExecutable(name).isEmpty()) missing << name;
    }
    return missing;
  };
  auto terminal_part = [&] {
    const QStringList missing = missing_programs({QStringLiteral("x-terminal-emulator"), QStringLiteral("telnet")});
    QString text = QStringLiteral("在程序路径中查找了 x-terminal-emulator 和 telnet，没有找到：") +
                   missing.join(QStringLiteral("、")) + QStringLiteral("。\r\n请安装");
    QStringList install;
    if (missing.contains(QStringLiteral("telnet"))) install << QStringLiteral("telnet（sudo apt install telnet）");
    if (missing.contains(QStringLiteral("x-terminal-emulator"))) {
      install << QStringLiteral("一个终端程序（例如 sudo apt install xterm）");
    }
    return text + install.join(QStringLiteral("和")) + QStringLiteral("。");
  };
  switch (tool) {
    case Tool::Winbox: {
      const QString native = tools + QStringLiteral("/winbox");
      const QString exe = tools + QStringLiteral("/Winbox.exe");
      if (QFileInfo(exe).isFile()) {
        return QStringLiteral("找到了 ") + exe +
               QStringLiteral(
                   "，但没有安装 wine，无法运行它。\r\n\r\n请安装 wine（sudo apt install wine），或把 Linux 版 "
                   "WinBox 存为 ") +
               native + QStringLiteral("。");
      }
      return QStringLiteral("没有找到 WinBox。\r\n\r\n查找了：\r\n") + native +
             QStringLiteral("（Linux 版 WinBox，可执行文件）\r\n") + exe +
             QStringLiteral("（Windows 版，经 wine 运行）\r\n\r\n请把 WinBox 放进 ") + tools +
             QStringLiteral(" 文件夹；用 Winbox.exe 时还要安装 wine（sudo apt install wine）。");
    }
    case Tool::Terminal:
      return QStringLiteral("没有找到终端连接器。\r\n\r\n查找了 ") + tools +
             QStringLiteral("/hypertrm（可执行文件），没有找到。\r\n") + terminal_part();
    case Tool::Telnet: break;
  }
  return QStringLiteral("无法启动 telnet。\r\n\r\n") + terminal_part();
}
#endif

QString tool_caption(Tool tool) {
  switch (tool) {
    case Tool::Winbox: return QStringLiteral("WINBOX连接器");
    case Tool::Terminal: return QStringLiteral("终端连接器");
    case Tool::Telnet: break;
  }
  return QStringLiteral("Telnet");
}

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
  show_guide();

  auto* save = new QAction(this);
  save->setShortcut(QKeySequence::Save);
  connect(save, &QAction::triggered, this, [this] { guarded([this] { save_script(); }); });
  addAction(save);
}

void MainWindow::use_settings(appearance::SettingsFile settings) {
  settings_ = std::move(settings);
  if (!announced_) show_guide();  // it names the settings file
}

const appearance::SettingsFile& MainWindow::settings() {
  if (!settings_) settings_ = appearance::locate_settings(env_.program_dir(), os::user_config_dir());
  return *settings_;
}

PageView* MainWindow::view(int index) {
  auto at = static_cast<size_t>(index);
  if (at >= views_.size()) return nullptr;
  if (views_[at] || forms_[at]->page().output.empty()) return views_[at];
  QWidget* holder = tabs_->widget(index);
  auto start = [this](Tool tool) { start_tool(tool); };
  views_[at] = new PageView(*forms_[at], env_, start, holder);
  holder->layout()->addWidget(views_[at]);
  if (auto* split = views_[at]->findChild<QSplitter*>(QStringLiteral("output-splitter"))) {
    // Placed once it has its height; a move is what the next page starts with.
    split->installEventFilter(this);
    place_split(split);
    connect(split, &QSplitter::splitterMoved, this, [this, split] { output_height_ = split->sizes().value(1); });
  }
  return views_[at];
}

void MainWindow::place_split(QSplitter* split) {
  const int total = split->height() - split->handleWidth();
  if (split->property("placed").toBool() || !split->isVisible() || total <= 0) return;
  split->setProperty("placed", true);
  split->setSizes({std::max(1, total - output_height_), std::min(output_height_, total - 1)});
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
    if (auto* split = qobject_cast<QSplitter*>(watched)) place_split(split);
  }
  return QMainWindow::eventFilter(watched, event);
}

MainWindow::~MainWindow() {
  // The views unsubscribe from their forms, so they go first.
  delete tabs_;
  tabs_ = nullptr;
}

QWidget* MainWindow::build_start_page() {
  auto* page = new QWidget;
  auto* box = new QGroupBox(page);
  // The guide until the update server's announcement replaces it.
  start_view_ = appearance::make_start_view(box);
  if (auto* browser = qobject_cast<QTextBrowser*>(start_view_)) {
    connect(browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
      if (auto page = appearance::linked_page(link)) show_page(*page);
    });
  }
  auto* mail = new QLabel(q(product::kMail), box);
  mail->setObjectName(QStringLiteral("超级链接框_邮箱"));
  mail->hide();
  auto* inner = new QVBoxLayout(box);
  inner->addWidget(start_view_);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(box);
  return page;
}

std::vector<std::pair<const char*, std::vector<MainWindow::MenuItem>>> MainWindow::menu_table() {
  auto page = [this](const char* text, int n) { return MenuItem{text, [this, n] { show_page(n); }, n}; };
  auto hook = [this](std::function<void(QWidget*)>& fn) {
    return [this, &fn] {
      if (fn) fn(this);
    };
  };
  auto open = [this](const QString& address) { return [this, address] { env_.desktop().open_address(address); }; };
  return {
      {"&F.程序设置",
       {{"&S 外观配置", hook(hooks_.open_appearance)}, page("&R 初始化界面", 0), {"&X 退出程序", [this] { close(); }}}},
      {"&S.系统", {page("&U 添加管理员帐号", 1), page("&S 定时重启/关机", 2), page("&Q 其它系统优化/设置", 3)}},
      {"&I.安装",
       {page("&O 单线固定IP安装设置", 4), page("&P 单线PPPOE拔号安装设置", 5), page("&R 多线固定IP负载安装设置", 6),
        page("&F 多线固定IP分流安装设置", 7), page("&L 多线PPPOE负载安装设置", 8), page("&S 多线PPPOE分流安装设置", 9),
        page("&T 双线固定IP电信网通安装设置", 10)}},
      {"&Q.限速", {page("Q& Queues常用限速", 11), page("&P Pcq动态限速", 12), page("P& Pcq速体限速", 13)}},
      {"&F.防火墙",
       {page("&P Ping", 14), page("&A ARP绑定(支持批量)", 15), page("&X 限制线程(TCP连接数)", 16),
        page("&F 封锁软件类", 17), page("&D 端口映射", 18), page("&O 封端口及封IP(支持批量)", 19),
        page("&C 封关键字及域名", 20)}},
      {"&V.VPN", {page("&P PPTP设置", 21), page("&L L2TP设置", 22), page("&W WireGuard设置", 26)}},
      {"&P.PPPOE", {page("&P PPPOE设置", 23), page("&A 添加PPPOE帐号(支持批量)", 24), page("&D DDNS动态域名服务", 25)}},
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
}

void MainWindow::build_menus() {
  for (const auto& [title, entries] : menu_table()) {
    QMenu* menu = menuBar()->addMenu(q(title));
    for (const MenuItem& e : entries) {
      QAction* action = menu->addAction(q(e.text));
      auto run = e.action;
      connect(action, &QAction::triggered, this, [run] { guarded(run); });
    }
  }
}

void MainWindow::show_guide() {
  appearance::StartFacts facts;
  for (const auto& [title, entries] : menu_table()) {
    appearance::StartGroup group{plain(title), {}};
    for (const MenuItem& e : entries) {
      if (e.page > 0 && e.page < page_count()) group.pages.emplace_back(plain(e.text), e.page);
    }
    if (!group.pages.empty()) facts.groups.push_back(std::move(group));
  }
  facts.settings_file = qpath(settings().path());
  // Where the accounts page appends its log: the program folder, else the user's data folder.
  facts.account_log = qpath(env_.program_dir() / "log" / "log.TXT");
  facts.account_log_elsewhere = qpath(env_.user_data_dir() / "log" / "log.TXT");
  appearance::show_guide(start_view_, facts);
}

void MainWindow::show_page(int index) { tabs_->setCurrentIndex(index); }

void MainWindow::start_tool(Tool tool) {
  const QString dir = QString::fromStdU16String(env_.program_dir().u16string());
  auto command = tool_command(tool, dir);
  // Windows names fixed paths whether or not the file is there.
  if (command && (QFileInfo(command->program).isRelative() || QFileInfo(command->program).isFile())) {
    env_.desktop().start(*command);
    return;
  }
  env_.tell(missing_tool_text(tool, dir), tool_caption(tool), Desktop::Icon::Warning);
}

void MainWindow::save_script() {
  PageView* page = view(tabs_->currentIndex());
  if (page && page->panel()) {
    page->panel()->save();
  } else {
    env_.tell(QStringLiteral("开始页没有脚本。\r\n请打开一个任务页面，生成脚本后再保存。"), QStringLiteral("保存脚本"));
  }
}

void MainWindow::restore_place() {
  place_restored_ = true;
  auto place = appearance::read_window_place(settings());
  if (!place) return;
  if (place->output_height > 0) output_height_ = place->output_height;
  const QRect rect(place->x, place->y, place->width, place->height);
  // A screen taken away since then: the size stays, the place is the default one.
  bool on_screen = false;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect seen = screen->availableGeometry().intersected(rect);
    on_screen = on_screen || (seen.width() >= 100 && seen.height() >= 50);
  }
  if (on_screen) {
    setGeometry(rect);
  } else {
    resize(rect.size());
  }
  if (place->maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::save_place() {
  if (!place_restored_) return;
  if (PageView* page = views_.at(static_cast<size_t>(tabs_->currentIndex()))) {
    auto* split = page->findChild<QSplitter*>(QStringLiteral("output-splitter"));
    if (split && split->property("placed").toBool()) output_height_ = split->sizes().value(1);
  }
  const bool maximized = isMaximized() || isFullScreen();
  const QRect rect = maximized ? normalGeometry() : geometry();
  appearance::SettingsFile file = settings();
  // A settings file that cannot be written costs only the remembered place.
  appearance::write_window_place(file, {rect.x(), rect.y(), rect.width(), rect.height(), maximized, output_height_});
}

void MainWindow::closeEvent(QCloseEvent* event) {
  guarded([this] { save_place(); });
  QMainWindow::closeEvent(event);
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
    // 2: the announcement in every output box, and instead of the guide.
    if (hooks_.announcement) {
      Gbk text = Gbk::from_bytes(hooks_.announcement());
      for (auto& form : forms_) {
        if (!form->page().output.empty()) form->set_output(text);
      }
      if (!text.empty()) {
        appearance::show_announcement(start_view_, shown(text));
        announced_ = true;
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
    // The size and place the window had when it was last closed.
    restore_place();
  });
  for (PageView* view : views_) {
    if (view && view->panel()) view->panel()->flush();
  }
  return exit_code;
}

}  // namespace rosgen::app
