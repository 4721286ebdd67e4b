#include "app/client_files.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QFile>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/fatal.h"
#include "app/window_env.h"
#include "os/os.h"
#include "qr/qr.h"

namespace rosgen::app {

std::optional<QByteArray> qr_png(const OutputFile& file, int scale) {
  const std::optional<qr::Code> code = qr::encode(file.text);
  if (!code) return std::nullopt;
  return QByteArray::fromStdString(qr::png(*code, scale));
}

std::optional<QString> write_private_file(const QString& path, const QByteArray& bytes) {
  if (auto failure = os::replace_file(QFile::encodeName(path).toStdString(), bytes.toStdString(), 0600)) {
    return QString::fromLocal8Bit(failure->c_str());
  }
  return std::nullopt;
}

ClientFilesDialog::ClientFilesDialog(const std::vector<OutputFile>& files, WindowEnv& env, QWidget* parent)
    : QDialog(parent), env_(env) {
  setObjectName(QStringLiteral("client-files-dialog"));
  setWindowTitle(QStringLiteral("客户端文件"));
  auto* tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("client-files-tabs"));
  for (const OutputFile& f : files) {
    auto* page = new QWidget(tabs);
    page->setObjectName(QString::fromStdString(f.name));
    auto* text = new QPlainTextEdit(QString::fromStdString(f.text), page);
    text->setObjectName(QStringLiteral("client-file-text"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* picture = new QLabel(page);
    picture->setObjectName(QStringLiteral("client-file-qr"));
    picture->setAlignment(Qt::AlignCenter);
    // Whole pixels a module, about 300 pixels across, so a phone's camera reads it off the screen.
    const std::optional<qr::Code> code = f.qr ? qr::encode(f.text) : std::nullopt;
    const std::optional<QByteArray> png =
        code ? std::optional(QByteArray::fromStdString(qr::png(*code, std::max(2, 300 / (code->size + 8)))))
             : std::nullopt;
    QPixmap pixmap;
    if (png && pixmap.loadFromData(*png, "PNG")) {
      picture->setPixmap(pixmap);
    } else if (f.qr) {
      picture->setText(QStringLiteral("文件太长，无法生成二维码"));
    }
    auto* save_text_button = new QPushButton(QStringLiteral("保存配置文件…"), page);
    save_text_button->setObjectName(QStringLiteral("save-client-file"));
    connect(save_text_button, &QPushButton::clicked, this, [this, f] { guarded([&] { save_text(f); }); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_text_button);
    if (png) {
      auto* save_qr_button = new QPushButton(QStringLiteral("保存二维码(PNG)…"), page);
      save_qr_button->setObjectName(QStringLiteral("save-client-qr"));
      connect(save_qr_button, &QPushButton::clicked, this, [this, f] { guarded([&] { save_qr(f); }); });
      buttons->addWidget(save_qr_button);
    }
    buttons->addStretch(1);
    auto* hint = new QLabel(
        QStringLiteral("用 WireGuard 应用扫描二维码，或导入配置文件。它含有这个客户端的私钥，请只交给它的主人。"),
        page);
    hint->setWordWrap(true);
    auto* right = new QVBoxLayout;
    right->addWidget(hint);
    right->addWidget(text, 1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(picture);
    layout->addLayout(right, 1);
    tabs->addTab(page, QString::fromStdString(f.name));
  }
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs, 1);
  layout->addWidget(close);
  resize(800, 420);
}

void ClientFilesDialog::save_text(const OutputFile& file) {
  save(QString::fromStdString(file.name), QStringLiteral("WireGuard 配置文件 (*.conf)"),
       QByteArray::fromStdString(file.text));
}

void ClientFilesDialog::save_qr(const OutputFile& file) {
  const std::optional<QByteArray> png = qr_png(file);
  if (!png) return;
  save(QFileInfo(QString::fromStdString(file.name)).completeBaseName() + QStringLiteral(".png"),
       QStringLiteral("PNG 图片 (*.png)"), *png);
}

void ClientFilesDialog::save(const QString& name, const QString& type, const QByteArray& bytes) {
  const QString caption = QStringLiteral("保存客户端文件");
  const QString folder = env_.save_folder.isEmpty() ? QDir::homePath() : env_.save_folder;
  auto answer = env_.desktop().save_file(this, caption, QDir(folder).filePath(name), {type});
  if (!answer) return;
  if (auto failure = write_private_file(answer->path, bytes)) {
    env_.tell(QStringLiteral("文件没有保存。\r\n\r\n文件：") + QDir::toNativeSeparators(answer->path) +
                  QStringLiteral("\r\n原因：") + *failure,
              caption, Desktop::Icon::Error);
    return;
  }
  env_.save_folder = QFileInfo(answer->path).absolutePath();
}

}  // namespace rosgen::app
