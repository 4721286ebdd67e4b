// The start page's view: a read-only page with the program's own guide, or
// the update server's announcement when it sent one. Links in it are never
// followed by the view itself: "page:N" links are the window's to open.
#pragma once

#include <optional>
#include <vector>
#include <QString>

class QWidget;
class QUrl;

namespace rosgen::appearance {

inline constexpr const char* kStartViewName = "超文本浏览框1";

// One menu's pages, as the guide lists them.
struct StartGroup {
  QString title;
  std::vector<std::pair<QString, int>> pages;  // link text, tab index
};

// What the guide tells about this copy of the program.
struct StartFacts {
  std::vector<StartGroup> groups;
  QString settings_file;          // where the settings are written
  QString account_log;            // where exported accounts are appended
  QString account_log_elsewhere;  // used when the first cannot be written
};

// A read-only view named 超文本浏览框1, empty until one of the show_ functions fills it.
QWidget* make_start_view(QWidget* parent);

// The guide: what the program does, its pages by menu, how to run a script on
// the router, where the account log and the settings are kept.
QString guide_html(const StartFacts& facts);
void show_guide(QWidget* view, const StartFacts& facts);
// The announcement as plain text, line breaks kept.
void show_announcement(QWidget* view, const QString& text);

// The link of a page in the guide, and the page a link opens.
QUrl page_link(int index);
std::optional<int> linked_page(const QUrl& link);

}  // namespace rosgen::appearance
