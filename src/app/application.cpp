#include "app/application.h"

#include <QLibraryInfo>
#include <QLocale>

#include "app/fatal.h"

namespace rosgen::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
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
    return QApplication::notify(receiver, event);
  } catch (...) {
    fatal_error(std::current_exception());
    return false;
  }
}

}  // namespace rosgen::app
