#include "app/output_panel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/fatal.h"
#include "app/window_env.h"
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

OutputPanel::OutputPanel(Form& form, Env& env, StartTool start_tool, QWidget* parent)
    : QGroupBox(parent), form_(form), env_(env), start_tool_(std::move(start_tool)) {
  const Page& page = form.page();
  setObjectName(QStringLiteral("输出面板"));

  box_ = new QPlainTextEdit(this);
  box_->setObjectName(QString::fromStdString(page.output));
  box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box_->setTabChangesFocus(true);
  shown_ = form.output();
  box_->setPlainText(shown(shown_));

  auto* buttons = new QGroupBox(this);
  auto* column = new QVBoxLayout(buttons);
  const char* captions[] = {"复制生成脚本", "WINBOX连接器", "终端连接器", "作者网站"};
  std::function<void()> actions[] = {
      [this] { copy(); },
      [this] { start_tool_(Tool::Winbox); },
      [this] { start_tool_(Tool::Terminal); },
      [this] { open_web_site(); },
  };
  for (size_t i = 0; i < 4; ++i) {
    auto* b = new QPushButton(QString::fromUtf8(captions[i]), buttons);
    b->setObjectName(QString::fromStdString(page.panel[i]));
    b->setMinimumWidth(96);
    auto action = actions[i];
    connect(b, &QPushButton::clicked, this, [action] { guarded(action); });
    column->addWidget(b);
  }
  column->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(box_, 1);
  layout->addWidget(buttons);

  connect(box_, &QPlainTextEdit::textChanged, this, [this] { guarded([this] { typed_into_box(); }); });
  token_ = form.subscribe([this](const Change& c) {
    if (c.kind == Change::Output) output_changed();
  });
}

OutputPanel::~OutputPanel() { form_.unsubscribe(token_); }

void OutputPanel::output_changed() {
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
    syncing_ = true;
    box_->setPlainText(shown(now));
    syncing_ = false;
  }
  box_->moveCursor(appended ? QTextCursor::End : QTextCursor::Start);
  QScrollBar* bar = box_->verticalScrollBar();
  bar->setValue(appended ? bar->maximum() : bar->minimum());
}

void OutputPanel::typed_into_box() {
  if (syncing_) return;
  // Edits made in the box belong to the script the copy button takes.
  Gbk text = typed(box_->toPlainText(), true);
  shown_ = text;
  syncing_ = true;
  form_.set_output(std::move(text));
  syncing_ = false;
}

void OutputPanel::copy() {
  flush();
  QString text = QString::fromStdString(to_utf8(form_.output()));
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

void OutputPanel::open_web_site() { env_.open_address(product::kWebSite); }

}  // namespace rosgen::app
