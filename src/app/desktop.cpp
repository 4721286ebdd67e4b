#include "app/desktop.h"

#include <algorithm>
#include <cstdio>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace rosgen::app {

QString lf_only(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

bool QtDesktop::message(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) {
  QMessageBox::Icon shown = icon == Icon::Warning ? QMessageBox::Warning
                            : icon == Icon::Error ? QMessageBox::Critical
                                                  : QMessageBox::NoIcon;
  QMessageBox::StandardButtons choice =
      buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
  QMessageBox box(shown, caption, lf_only(text), choice, owner);
  // Messages are plain text: a "<" in a field value must not turn into markup.
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtDesktop::input(QWidget* owner, const QString& prompt, const QString& title,
                                        const QString& initial) {
  bool ok = false;
  QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return text;
}

void QtDesktop::about(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox::about(owner, title, text);
}

std::optional<Desktop::SaveAnswer> QtDesktop::save_file(QWidget* owner, const QString& caption, const QString& proposed,
                                                        const QStringList& types) {
  QFileDialog dialog(owner, caption);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(types);
  dialog.setDefaultSuffix(QStringLiteral("rsc"));
  QFileInfo file(proposed);
  dialog.setDirectory(file.absolutePath());
  dialog.selectFile(file.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return SaveAnswer{dialog.selectedFiles().constFirst(), std::max(0, int(types.indexOf(dialog.selectedNameFilter())))};
}

void QtDesktop::open_address(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

void QtDesktop::start(const Command& command) { QProcess::startDetached(command.program, command.args); }

namespace {

void say(const QString& line) {
  QByteArray bytes = line.toUtf8();
  bytes += '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

QString one_line(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
  text.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
  text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
  return text;
}

}  // namespace

bool StderrDesktop::message(QWidget*, const QString& text, const QString& caption, Icon, Buttons) {
  say(QLatin1Char('[') + caption + QStringLiteral("] ") + one_line(text));
  return true;
}

std::optional<QString> StderrDesktop::input(QWidget*, const QString& prompt, const QString& title, const QString&) {
  say(QStringLiteral("[input] ") + title + QStringLiteral(": ") + one_line(prompt));
  return std::nullopt;
}

void StderrDesktop::about(QWidget*, const QString& title, const QString& text) {
  say(QStringLiteral("[about] ") + title + QStringLiteral(": ") + one_line(text));
}

std::optional<Desktop::SaveAnswer> StderrDesktop::save_file(QWidget*, const QString& caption, const QString& proposed,
                                                            const QStringList&) {
  say(QStringLiteral("[save] ") + caption + QStringLiteral(": ") + proposed);
  return std::nullopt;
}

void StderrDesktop::open_address(const QString& address) { say(QStringLiteral("[open] ") + address); }

void StderrDesktop::start(const Command& command) {
  say(QStringLiteral("[start] ") + (QStringList{command.program} + command.args).join(QLatin1Char(' ')));
}

}  // namespace rosgen::app
