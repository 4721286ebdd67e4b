#include "app/window_env.h"

namespace rosgen::app {

void WindowEnv::message(const std::string& text, const std::string& caption) {
  desktop_.message(owner_, QString::fromStdString(text), QString::fromStdString(caption));
}

void WindowEnv::tell(const QString& text, const QString& caption, Desktop::Icon icon) {
  desktop_.message(owner_, text, caption, icon);
}

std::optional<Gbk> WindowEnv::input_box(const std::string& prompt, const std::string& title, const Gbk& initial) {
  auto answer = desktop_.input(owner_, QString::fromStdString(prompt), QString::fromStdString(title), shown(initial));
  if (!answer) return std::nullopt;
  return typed(*answer, false);
}

void WindowEnv::open_address(const std::string& address) { desktop_.open_address(QString::fromStdString(address)); }

std::filesystem::path WindowEnv::program_dir() {
  return fixed_program_dir ? *fixed_program_dir : SystemEnv::program_dir();
}

QString shown(const Gbk& text) { return lf_only(QString::fromStdString(to_utf8(text))); }

Gbk typed(const QString& text, bool multiline) {
  if (!multiline) return to_gbk(text.toStdString());
  QString crlf = text;
  // A pasted text may already carry CR LF; keep one CR per break.
  crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  crlf.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return to_gbk(crlf.toStdString());
}

}  // namespace rosgen::app
