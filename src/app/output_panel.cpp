#include "app/output_panel.h"

#include <algorithm>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QHelpEvent>
#include <QLabel>
#include <QMainWindow>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/client_files.h"
#include "app/fatal.h"
#include "app/window_env.h"
#include "os/os.h"
#include "routeros/checker.h"
#include "routeros/model.h"
#include "script/product.h"

namespace rosgen::app {

QString copy_success_text() {
  return QStringLiteral(
      "复制成功!\r\n\r\n使用方法:\r\n\r\n方法一:请打开winbox下的New Terminal右键选择paste粘贴后回车!  "
      "(推荐使用)\r\n\r\n"
      "方法二:请打开winbox后进入System后选择Scripts,点击号,将刚才复制的脚本粘贴到Source里面后确定.\r\n"
      "回到Scripts窗口后选中您刚才添加的脚本后点击Run Script运行你所选择的脚本，操作完毕！\r\n\r\n"
      "方法三:"
      "使用超级终端或telnet连接路由器后指复制的脚本粘贴运行即可！（注：路由器需开启相应端口，否则将无法连接！）");
}

QString copy_failure_text() { return QStringLiteral("复制失败!\r\n\r\n请检查你的程序是否玩整！"); }

namespace {

// The box shows LF; a copy made in it by hand carries the CR LF the router's
// terminal and the copy button use.
class ScriptBox : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  QMimeData* createMimeDataFromSelection() const override {
    QString text = textCursor().selection().toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    auto* data = new QMimeData;
    data->setText(text);
    return data;
  }
};

bool blank(const Gbk& text) { return text.bytes().find_first_not_of(" \t\r\n") == std::string::npos; }

// The RouterOS 7 buttons: "gen-7x", "gen-server-7x", ...
bool writes_ros7(const Button& b) { return b.id.ends_with("-7x"); }

}  // namespace

QString script_file_name(const std::string& slug, const QDateTime& at) {
  return QString::fromStdString(slug) + at.toString(QStringLiteral("-yyyyMMdd-HHmm")) + QStringLiteral(".rsc");
}

QStringList script_file_types() {
  return {QStringLiteral("RouterOS 脚本 GBK (*.rsc)"), QStringLiteral("RouterOS 脚本 UTF-8 (*.rsc)")};
}

QByteArray script_file_bytes(const Gbk& script, ScriptEncoding encoding) {
  // Line ends are put right on the GBK bytes: CR and LF never occur inside a
  // GBK character, and the bytes stay as generated.
  const std::string& in = script.bytes();
  std::string out;
  out.reserve(in.size() + in.size() / 16);
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\r' || in[i] == '\n') {
      if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += in[i];
    }
  }
  if (encoding == ScriptEncoding::Utf8) out = to_utf8(Gbk::from_bytes(out));
  return QByteArray::fromStdString(out);
}

QByteArray script_file_bytes(const QString& shown_text) {
  QString text = shown_text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text.toUtf8();
}

std::optional<QString> write_whole_file(const QString& path, const QByteArray& bytes) {
  // The same replacement in one step as the command line's -o.
  if (auto failure = os::replace_file(QFile::encodeName(path).toStdString(), bytes.toStdString())) {
    return QString::fromLocal8Bit(failure->c_str());
  }
  return std::nullopt;
}

OutputPanel::OutputPanel(Form& form, Env& env, StartTool start_tool, QWidget* parent)
    : QGroupBox(parent), form_(form), env_(env), start_tool_(std::move(start_tool)) {
  const Page& page = form.page();
  setObjectName(QStringLiteral("输出面板"));

  box_ = new ScriptBox(this);
  box_->setObjectName(QString::fromStdString(page.output));
  box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box_->setTabChangesFocus(true);
  shown_ = form.output();
  box_->setPlainText(shown(shown_));

  // Two columns: copy and save, check and the web site, then the two tools.
  auto* buttons = new QGroupBox(this);
  auto* grid = new QGridLayout(buttons);
  auto add = [&](const QString& caption, const QString& name, int row, int column, std::function<void()> action) {
    auto* b = new QPushButton(caption, buttons);
    b->setObjectName(name);
    b->setMinimumWidth(96);
    connect(b, &QPushButton::clicked, this, [action = std::move(action)] { guarded(action); });
    grid->addWidget(b, row, column);
    return b;
  };
  auto name = [&page](size_t i) { return QString::fromStdString(page.panel[i]); };
  add(QStringLiteral("复制生成脚本"), name(0), 0, 0, [this] { copy(); });
  add(QStringLiteral("保存脚本"), QStringLiteral("save-script"), 0, 1, [this] {
    save();
  })->setToolTip(QStringLiteral("把输出框中的脚本存成 .rsc 文件 (Ctrl+S)"));
  add(QStringLiteral("检查脚本"), QStringLiteral("check-script"), 1, 0, [this] {
    check_script();
  })->setToolTip(QStringLiteral("按RouterOS 7的命令树检查输出框中的脚本"));
  add(QStringLiteral("作者网站"), name(3), 1, 1, [this] { open_web_site(); });
  add(QStringLiteral("WINBOX连接器"), name(1), 2, 0, [this] { start_tool_(Tool::Winbox); });
  add(QStringLiteral("终端连接器"), name(2), 2, 1, [this] { start_tool_(Tool::Terminal); });
  files_button_ = new QPushButton(buttons);
  files_button_->setObjectName(QStringLiteral("client-files"));
  files_button_->setToolTip(QStringLiteral("客户端的配置文件和二维码"));
  connect(files_button_, &QPushButton::clicked, this, [this] { guarded([this] { show_files(); }); });
  grid->addWidget(files_button_, 3, 0, 1, 2);
  grid->setRowStretch(4, 1);
  files_changed();

  warning_line_ = new QLabel(this);
  warning_line_->setObjectName(QStringLiteral("field-warnings"));
  warning_line_->setTextFormat(Qt::PlainText);
  warning_line_->setWordWrap(true);
  warning_line_->setStyleSheet(QStringLiteral("color: #b3261e;"));
  warning_line_->hide();

  status_line_ = new QLabel(this);
  status_line_->setObjectName(QStringLiteral("press-status"));
  status_line_->setTextFormat(Qt::PlainText);
  status_line_->setWordWrap(true);
  status_line_->hide();

  auto* left = new QVBoxLayout;
  left->setContentsMargins(0, 0, 0, 0);
  left->addWidget(box_, 1);
  left->addWidget(status_line_);
  left->addWidget(warning_line_);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(left, 1);
  layout->addWidget(buttons);

  connect(box_, &QPlainTextEdit::textChanged, this, [this] { guarded([this] { typed_into_box(); }); });
  box_->viewport()->installEventFilter(this);
  token_ = form.subscribe([this](const Change& c) {
    if (c.kind == Change::Output) output_changed();
    if (c.kind == Change::Files) files_changed();
  });
}

OutputPanel::~OutputPanel() { form_.unsubscribe(token_); }

void OutputPanel::output_changed() {
  if (pressing_) older_dialect_ = !writes_ros7(*pressing_);
  if (syncing_) return;
  dirty_ = true;
  ++changes_;
  if (queued_) return;
  queued_ = true;
  QTimer::singleShot(0, this, [this] { flush(); });
}

void OutputPanel::flush() {
  queued_ = false;
  if (!dirty_) return;
  dirty_ = false;
  const Gbk& now = form_.output();
  // Appending (several changes, or one that only added at the end) shows the
  // end of the text; a plain replacement shows its beginning.
  bool appended = changes_ > 1 || (!shown_.empty() && now.size() > shown_.size() &&
                                   now.bytes().compare(0, shown_.size(), shown_.bytes()) == 0);
  changes_ = 0;
  if (now != shown_) {
    shown_ = now;
    clear_marks();
    syncing_ = true;
    box_->setPlainText(shown(now));
    syncing_ = false;
  }
  box_->moveCursor(appended ? QTextCursor::End : QTextCursor::Start);
  QScrollBar* bar = box_->verticalScrollBar();
  bar->setValue(appended ? bar->maximum() : bar->minimum());
}

void OutputPanel::files_changed() {
  const std::size_t n = form_.files().size();
  files_button_->setText(QStringLiteral("客户端文件(%1)").arg(n));
  files_button_->setVisible(n > 0);
}

QDialog* OutputPanel::show_files() {
  auto* window = dynamic_cast<WindowEnv*>(&env_);
  if (!window || form_.files().empty()) return nullptr;
  auto* dialog = new ClientFilesDialog(form_.files(), *window, window->owner() ? window->owner() : this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
  return dialog;
}

void OutputPanel::typed_into_box() {
  if (syncing_) return;
  // Edits made in the box belong to the script the copy button takes.
  Gbk text = typed(box_->toPlainText(), true);
  clear_marks();
  shown_ = text;
  syncing_ = true;
  form_.set_output(std::move(text));
  syncing_ = false;
}

void OutputPanel::copy() {
  flush();
  if (blank(form_.output())) {
    env_.message("输出框是空的，没有可复制的脚本。\r\n请先按页面上的生成按钮。", "复制生成脚本");
    return;
  }
  QString text = QString::fromStdString(to_utf8(form_.output()));
  // Typed characters GBK has not are "?" in the Form: such a box is copied as it shows.
  if (const QString shown_text = box_->toPlainText(); first_not_in_gbk(shown_text.toStdString())) {
    text = QString::fromUtf8(script_file_bytes(shown_text));
  }
  QClipboard* clipboard = QGuiApplication::clipboard();
  bool ok = false;
  if (clipboard) {
    clipboard->setText(text);
    // The clipboard gives no result of its own; reading it back tells whether it took the text.
    ok = clipboard->text() == text;
  }
  if (ok) {
    env_.message(copy_success_text().toStdString(), "恭喜!");
  } else {
    env_.message(copy_failure_text().toStdString(), "失败");
  }
}

void OutputPanel::save() {
  flush();
  const std::string caption = "保存脚本";
  if (blank(form_.output())) {
    env_.message("输出框是空的，没有可保存的脚本。\r\n请先按页面上的生成按钮。", caption);
    return;
  }
  // The panel lives in the window, whose Env is the window's own.
  auto* window = dynamic_cast<WindowEnv*>(&env_);
  if (!window) return;
  const QString folder = window->save_folder.isEmpty() ? QDir::homePath() : window->save_folder;
  const QString proposed = QDir(folder).filePath(script_file_name(form_.page().slug, QDateTime::currentDateTime()));
  auto answer =
      window->desktop().save_file(window->owner(), QString::fromStdString(caption), proposed, script_file_types());
  if (!answer) return;
  auto encoding = answer->type == 1 ? ScriptEncoding::Utf8 : ScriptEncoding::Gbk;
  // What was typed into the box may hold characters GBK has not; the Form holds "?" for them,
  // so such a box is saved from its own text, and never as GBK, which would lose them.
  const QString text = box_->toPlainText();
  const std::string text_utf8 = text.toStdString();
  const std::optional<std::size_t> lost = first_not_in_gbk(text_utf8);
  if (lost && encoding == ScriptEncoding::Gbk) {
    const QString rest = QString::fromUtf8(text_utf8.data() + *lost, static_cast<qsizetype>(text_utf8.size() - *lost));
    const char32_t c = rest.toUcs4().value(0);
    const QString character = QString::fromUcs4(&c, 1);
    const auto line = std::count(text_utf8.begin(), text_utf8.begin() + static_cast<std::ptrdiff_t>(*lost), '\n') + 1;
    const bool utf8 = window->desktop().message(
        window->owner(),
        QStringLiteral("第%1行的字符“%2”（U+%3）不能用 GBK 编码保存，存成 GBK 会变成“?”。\r\n\r\n"
                       "按“确定”改存为 UTF-8 编码（RouterOS 7 导入 UTF-8 文件），按“取消”不保存。")
            .arg(line)
            .arg(character, QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, QLatin1Char('0'))),
        QString::fromStdString(caption), Desktop::Icon::Warning, Desktop::Buttons::OkCancel);
    if (!utf8) return;
    encoding = ScriptEncoding::Utf8;
  }
  const QByteArray bytes = lost ? script_file_bytes(text) : script_file_bytes(form_.output(), encoding);
  if (auto failure = write_whole_file(answer->path, bytes)) {
    window->tell(QStringLiteral("脚本没有保存。\r\n\r\n文件：") + QDir::toNativeSeparators(answer->path) +
                     QStringLiteral("\r\n原因：") + *failure,
                 QString::fromStdString(caption), Desktop::Icon::Error);
    return;
  }
  window->save_folder = QFileInfo(answer->path).absolutePath();
  if (auto* main = qobject_cast<QMainWindow*>(window->owner())) {
    main->statusBar()->showMessage(
        QStringLiteral("脚本已保存到 %1（%2 编码）")
            .arg(QDir::toNativeSeparators(QFileInfo(answer->path).absoluteFilePath()),
                 encoding == ScriptEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("GBK")));
  }
}

void OutputPanel::open_web_site() { env_.open_address(product::kWebSite); }

void OutputPanel::check_script() {
  flush();
  clear_marks();
  // The 7.x scripts are written for a router on RouterOS 7's default configuration.
  const std::vector<ros7::Finding> found = ros7::check(to_utf8(form_.output()), ros7::Base::Defconf);
  std::string basis = "按 RouterOS 7 的命令树检查，并在默认配置的路由器上模拟运行：";
  if (older_dialect_) {
    basis =
        "注意：这项检查针对 RouterOS 7，而输出框中的脚本是 2.9.x/3.x 按钮生成的，"
        "它的写法在 RouterOS 7 上可能不被接受；要检查 7.x 脚本，请按本页的 7.x 生成按钮。\r\n\r\n" +
        basis;
  }
  if (found.empty()) {
    env_.message(basis + "没有发现问题", "检查脚本");
    return;
  }
  QTextCharFormat mark;
  mark.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  mark.setUnderlineColor(Qt::red);
  QList<QTextEdit::ExtraSelection> marks;
  std::string list;
  constexpr size_t kListed = 10;
  for (size_t i = 0; i < found.size(); ++i) {
    const ros7::Finding& f = found[i];
    const bool error = f.severity == ros7::Severity::Error;
    const QString line = QStringLiteral("%1 %2").arg(error ? QStringLiteral("错误：") : QStringLiteral("警告："),
                                                     QString::fromStdString(f.chinese.empty() ? f.message : f.chinese));
    QString& tip = findings_[f.line - 1];
    if (!tip.isEmpty()) tip += QLatin1Char('\n');
    tip += QStringLiteral("第%1列 ").arg(f.col) + line;
    if (i < kListed) {
      list += "\r\n第" + std::to_string(f.line) + "行第" + std::to_string(f.col) + "列 " + line.toStdString();
    }
  }
  for (const auto& [line, tip] : findings_) {
    QTextBlock block = box_->document()->findBlockByNumber(line);
    if (!block.isValid()) continue;
    QTextEdit::ExtraSelection sel;
    sel.cursor = QTextCursor(block);
    sel.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    sel.format = mark;
    marks.append(sel);
  }
  box_->setExtraSelections(marks);
  std::string text = basis + "发现" + std::to_string(found.size()) +
                     "个问题（已在输出框中用红色波浪线标出，鼠标停在该行可看详情）：" + list;
  if (found.size() > kListed) text += "\r\n……";
  env_.message(text, "检查脚本");
}

void OutputPanel::show_warnings(const std::vector<FieldWarning>& warnings) {
  if (warnings.empty()) {
    warning_line_->clear();
    warning_line_->hide();
    return;
  }
  QString text = QStringLiteral("%1 个字段的值可能导致脚本出错：").arg(warnings.size());
  for (size_t i = 0; i < warnings.size(); ++i) {
    if (i > 0) text += QStringLiteral("；");
    text +=
        QString::fromStdString(warnings[i].label) + QStringLiteral(" — ") + QString::fromStdString(warnings[i].reason);
  }
  warning_line_->setText(text);
  warning_line_->show();
}

void OutputPanel::show_status(const QString& text) {
  status_line_->setText(text);
  status_line_->setVisible(!text.isEmpty());
}

void OutputPanel::pressing(const Button& button) {
  pressing_ = &button;
  show_warnings({});
  show_status({});
}

void OutputPanel::pressed(const PressReport& report) {
  pressing_ = nullptr;
  show_warnings(report.warnings);
  if (report.outcome != Outcome::Refused) return;
  QString reason = QString::fromStdString(report.refusal).simplified();
  show_status(reason.isEmpty() ? QStringLiteral("没有生成新脚本，输出框中仍是之前的内容。")
                               : QStringLiteral("没有生成新脚本：%1　输出框中仍是之前的内容。").arg(reason));
}

void OutputPanel::clear_marks() {
  if (findings_.empty()) return;
  findings_.clear();
  box_->setExtraSelections({});
}

bool OutputPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_->viewport() && event->type() == QEvent::ToolTip && !findings_.empty()) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int line = box_->cursorForPosition(help->pos()).blockNumber();
    auto it = findings_.find(line);
    if (it != findings_.end()) {
      QToolTip::showText(help->globalPos(), it->second, box_->viewport());
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QGroupBox::eventFilter(watched, event);
}

}  // namespace rosgen::app
