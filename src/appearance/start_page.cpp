#include "appearance/start_page.h"

#include <QTextBrowser>
#include <QUrl>

namespace rosgen::appearance {
namespace {

const QString kScheme = QStringLiteral("page");

QString code(const QString& text) {
  return QStringLiteral("<code>") + text.toHtmlEscaped() + QStringLiteral("</code>");
}

}  // namespace

QWidget* make_start_view(QWidget* parent) {
  auto* view = new QTextBrowser(parent);
  view->setObjectName(QString::fromUtf8(kStartViewName));
  view->setReadOnly(true);
  view->setOpenLinks(false);
  view->setOpenExternalLinks(false);
  view->clear();
  return view;
}

QUrl page_link(int index) { return QUrl(kScheme + QLatin1Char(':') + QString::number(index)); }

std::optional<int> linked_page(const QUrl& link) {
  if (link.scheme() != kScheme) return std::nullopt;
  bool ok = false;
  int index = link.path().toInt(&ok);
  if (!ok || index < 0) return std::nullopt;
  return index;
}

// No colours of its own: the text and the links take the palette's, so every skin reads it.
QString guide_html(const StartFacts& facts) {
  QString html = QStringLiteral(
      "<h2>rosgen — MikroTik RouterOS 脚本生成器</h2>"
      "<p>填写页面上的表单，按下生成按钮，rosgen 就写出 RouterOS 的配置脚本："
      "单线、多线和双线接入，PPPoE、PPTP、L2TP 服务与帐号，限速，防火墙，系统设置，"
      "以及 RouterOS 7 的 WireGuard VPN（每个客户端一个配置文件和二维码）。"
      "除 WireGuard 页面只生成 7.x 脚本外，每个任务页面都有 2.9.x/3.x 和 7.x 两种生成按钮。"
      "脚本出现在页面下方的输出框里，可以修改、复制、保存；7.x 脚本还可以先按“检查脚本”，"
      "对照 RouterOS 7 的命令树检查，并在默认配置的路由器上模拟运行。</p>"
      "<h3>任务页面</h3>");
  for (const StartGroup& group : facts.groups) {
    html += QStringLiteral("<p><b>") + group.title.toHtmlEscaped() + QStringLiteral("</b><br>");
    for (std::size_t i = 0; i < group.pages.size(); ++i) {
      if (i > 0) html += QStringLiteral(" &nbsp;|&nbsp; ");
      html += QStringLiteral("<a href=\"") + page_link(group.pages[i].second).toString() + QStringLiteral("\">") +
              group.pages[i].first.toHtmlEscaped() + QStringLiteral("</a>");
    }
    html += QStringLiteral("</p>");
  }
  html += QStringLiteral(
              "<h3>在路由器上运行脚本</h3><ol>"
              "<li><b>粘贴：</b>按“复制生成脚本”，打开 WinBox 的 New Terminal（或用 telnet、SSH 登录路由器），"
              "右键粘贴后回车。</li>"
              "<li><b>导入文件：</b>按“保存脚本”（Ctrl+S）存成 .rsc 文件，拖进 WinBox 的 Files 窗口（或用 FTP 上传），"
              "再在终端里执行 ") +
          code(QStringLiteral("/import file-name=x.rsc")) +
          QStringLiteral(
              "（x.rsc 换成你的文件名）。保存时文件类型默认 GBK 编码，也可选 UTF-8。</li></ol>"
              "<h3>文件放在哪里</h3><ul>"
              "<li>设置（外观、更新服务器、窗口大小和位置）：") +
          code(facts.settings_file) + QStringLiteral("</li><li>导出的 PPPoE 帐号记录：") + code(facts.account_log);
  if (!facts.account_log_elsewhere.isEmpty()) {
    html += QStringLiteral("（该文件夹不能写入时为 ") + code(facts.account_log_elsewhere) + QStringLiteral("）");
  }
  html += QStringLiteral("</li></ul>");
  return html;
}

void show_guide(QWidget* view, const StartFacts& facts) {
  if (auto* browser = qobject_cast<QTextBrowser*>(view)) browser->setHtml(guide_html(facts));
}

void show_announcement(QWidget* view, const QString& text) {
  if (auto* browser = qobject_cast<QTextBrowser*>(view)) browser->setPlainText(text);
}

}  // namespace rosgen::appearance
