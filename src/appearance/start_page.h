// The start page's view: a blank read-only page, as the window has no browser.
#pragma once

class QWidget;

namespace rosgen::appearance {

inline constexpr const char* kStartViewName = "超文本浏览框1";

// A read-only view named 超文本浏览框1 showing nothing ("about:blank"); links
// in it are never followed.
QWidget* make_start_view(QWidget* parent);

}  // namespace rosgen::appearance
