// One tab of the window, rendered from its page declaration: the upper box
// with the page's groups, fields, lists and buttons, and the output panel.
// Widgets and the page's Form stay in step both ways; every widget's
// objectName is its designer name.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <QMargins>
#include <QWidget>

#include "app/output_panel.h"
#include "script/form.h"

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QTreeWidget;

namespace rosgen::app {

class PageView : public QWidget {
 public:
  PageView(Form& form, Env& env, OutputPanel::StartTool start_tool, QWidget* parent = nullptr);
  ~PageView() override;

  Form& form() const { return form_; }
  QGroupBox* upper() const { return upper_; }
  OutputPanel* panel() const { return panel_; }  // nullptr on a page without output box

 private:
  QWidget* render(const std::vector<Item>& items, QWidget* parent, QMargins margins);
  int place(const Item& item, QGridLayout* grid, int row, QWidget* parent);
  void place_inline(const Item& item, QHBoxLayout* line, QWidget* parent);
  QWidget* make_group(const Group& g, QWidget* parent);
  QWidget* make_field(const Field& f, QWidget* parent, bool in_row);
  QWidget* make_button(const Button& b, QWidget* parent);
  QWidget* make_list(const LineList& l, QWidget* parent);

  // A person's action: runs guarded, then the output box shows its result.
  void act(const std::function<void()>& fn);
  void changed(const Change& c);
  void show_text(const std::string& id);
  void mark(const std::string& id);
  void show_checked(const std::string& id);
  void show_index(const std::string& id);
  void show_rows(const std::string& id);
  void show_selection(const std::string& id);

  Form& form_;
  Env& env_;
  QGroupBox* upper_ = nullptr;
  OutputPanel* panel_ = nullptr;
  std::map<std::string, QWidget*> fields_;
  std::map<std::string, QTreeWidget*> lists_;
  int token_ = 0;
  bool syncing_ = false;
};

}  // namespace rosgen::app
