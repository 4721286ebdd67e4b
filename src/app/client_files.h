// The files a press made beside its script (a WireGuard client's configuration), shown
// one tab each: the file's text, its QR code for a phone to scan, and buttons that save
// either, readable by their owner only.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <optional>

#include "script/form.h"

namespace rosgen::app {

class WindowEnv;

// The QR code of a file's text as a PNG, `scale` pixels a module; nothing when the text is too
// long for one.
std::optional<QByteArray> qr_png(const OutputFile& file, int scale = 8);

// Writes the whole file or nothing (os::replace_file), readable and writable by its owner only
// from the moment it exists. The reason of a failure, or nothing when written.
std::optional<QString> write_private_file(const QString& path, const QByteArray& bytes);

class ClientFilesDialog : public QDialog {
 public:
  ClientFilesDialog(const std::vector<OutputFile>& files, WindowEnv& env, QWidget* parent = nullptr);

  // Asks where to save the file or its QR code, then writes it.
  void save_text(const OutputFile& file);
  void save_qr(const OutputFile& file);

 private:
  void save(const QString& name, const QString& type, const QByteArray& bytes);

  WindowEnv& env_;
};

}  // namespace rosgen::app
