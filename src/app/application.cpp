#include "app/application.h"

#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "app/fatal.h"

namespace rosgen::app {
namespace {

QPixmap draw_icon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 128.0, size / 128.0);
  const QColor red(0xb3, 0x20, 0x2a), cream(0xf6, 0xe7, 0xc8), green(0x3a, 0xa8, 0x45), dark(0x7a, 0x1a, 0x20);
  p.setPen(Qt::NoPen);
  p.setBrush(red);
  p.drawRoundedRect(QRectF(8, 8, 112, 112), 20, 20);
  p.setBrush(cream);
  p.drawRoundedRect(QRectF(20, 62, 88, 34), 6, 6);
  p.setBrush(green);
  p.drawEllipse(QPointF(36, 79), 5, 5);
  p.drawEllipse(QPointF(52, 79), 5, 5);
  p.setBrush(dark);
  p.drawRoundedRect(QRectF(66, 75, 30, 8), 3, 3);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(cream, 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(44, 62), QPointF(36, 30));
  p.drawLine(QPointF(84, 62), QPointF(92, 30));
  p.setPen(QPen(cream, 4, Qt::SolidLine, Qt::RoundCap));
  QPainterPath arcs;
  arcs.moveTo(22, 28);
  arcs.quadTo(36, 16, 50, 28);
  arcs.moveTo(78, 28);
  arcs.quadTo(92, 16, 106, 28);
  p.drawPath(arcs);
  return pixmap;
}

// A push button that does not take Enter itself (only buttons of dialogs do).
QPushButton* button_for_enter(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return nullptr;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return nullptr;
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return nullptr;
  auto* button = qobject_cast<QPushButton*>(receiver);
  if (!button || !button->isEnabled() || button->autoDefault() || button->isDefault()) return nullptr;
  return button;
}

}  // namespace

QIcon program_icon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(draw_icon(size));
  return icon;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromLatin1(kWindowClass));
  setDesktopFileName(QString::fromLatin1(kDesktopEntry));
  setWindowIcon(program_icon());
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const char* catalog : {"qtbase", "qt"}) {
    if (qt_texts_.load(QLocale(QLocale::Chinese, QLocale::China), QString::fromLatin1(catalog), QStringLiteral("_"),
                       folder)) {
      installTranslator(&qt_texts_);
      break;
    }
  }
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    if (QPushButton* button = button_for_enter(receiver, event)) {
      if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) button->click();
      return true;
    }
    return QApplication::notify(receiver, event);
  } catch (...) {
    fatal_error(std::current_exception());
    return false;
  }
}

}  // namespace rosgen::app
