// Message boxes of the appearance and update parts, replaceable so that tests
// can read them instead of clicking them away.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace rosgen::appearance {

enum class Icon { None, Information, Warning };

// A modal box with an OK button, owned by `owner` (may be null).
using MessageFn = std::function<void(QWidget* owner, const QString& caption, const QString& text, Icon icon)>;

// The real one: a QMessageBox.
void show_message_box(QWidget* owner, const QString& caption, const QString& text, Icon icon);

}  // namespace rosgen::appearance
