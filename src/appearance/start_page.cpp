#include "appearance/start_page.h"

#include <QTextBrowser>

namespace rosgen::appearance {

QWidget* make_start_view(QWidget* parent) {
  auto* view = new QTextBrowser(parent);
  view->setObjectName(QString::fromUtf8(kStartViewName));
  view->setReadOnly(true);
  view->setOpenLinks(false);
  view->setOpenExternalLinks(false);
  view->setProperty("address", QStringLiteral("about:blank"));
  view->clear();
  return view;
}

}  // namespace rosgen::appearance
