#include "appearance/message.h"

#include <QMessageBox>

namespace rosgen::appearance {

void show_message_box(QWidget* owner, const QString& caption, const QString& text, Icon icon) {
  QMessageBox::Icon kind = icon == Icon::Warning       ? QMessageBox::Warning
                           : icon == Icon::Information ? QMessageBox::Information
                                                       : QMessageBox::NoIcon;
  QMessageBox box(kind, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace rosgen::appearance
