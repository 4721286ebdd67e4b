#include "app/page_view.h"

#include <algorithm>
#include <optional>
#include <vector>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMargins>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStyleOptionGroupBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/fatal.h"
#include "app/window_env.h"
#include "engine/driver.h"

namespace rosgen::app {
namespace {

QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

QLabel* make_label(const std::string& text, QWidget* parent, bool wrap) {
  auto* label = new QLabel(lf_only(q(text)), parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(wrap);
  return label;
}

// Wide enough for the default text, within sensible bounds.
int edit_width(const QWidget* w, const std::string& text, bool in_row) {
  int wanted = w->fontMetrics().horizontalAdvance(q(text)) + 16;
  return std::clamp(wanted, in_row ? 56 : 150, in_row ? 180 : 260);
}

// The warning sign: an amber triangle with a dark edge and mark, drawn here
// so it looks the same in every skin and icon theme.
QIcon warning_icon() {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x6b, 0x3f, 0x00), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xf5, 0x9f, 0x00));
    p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(15, 14.5), QPointF(1, 14.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1a, 0x12, 0x00));
    p.drawRoundedRect(QRectF(7.1, 5, 1.8, 5.6), 0.9, 0.9);
    p.drawEllipse(QRectF(7, 11.6, 2, 2));
    icon.addPixmap(pixmap);
  }
  return icon;
}

// A warned field's fill and text: a warm tint no shipped skin gives its
// fields, with dark text, so it reads in light and dark skins alike. Only the
// fill and text change: a skin's focus frame stays the focus frame.
QString warning_sheet(const QWidget* field) {
  return QStringLiteral("%1 { background-color: #ffe08a; color: #221a00; }")
      .arg(QLatin1String(field->metaObject()->className()));
}

// A multi-line box asks for a few lines; the page's other fields stay in view.
// A warning puts the sign in its top right corner, beside the text.
class TextBox : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  QSize sizeHint() const override {
    QSize size = QPlainTextEdit::sizeHint();
    size.setHeight(fontMetrics().lineSpacing() * 6 + 2 * frameWidth() + 8);
    return size;
  }
  void set_sign(bool on) {
    if (on && !sign_) {
      sign_ = new QLabel(this);
      sign_->setObjectName(QStringLiteral("valueWarningSign"));
      sign_->setPixmap(warning_icon().pixmap(16, 16));
      sign_->setFixedSize(16, 16);
      setViewportMargins(0, 0, 20, 0);
      place_sign();
      sign_->show();
    } else if (!on && sign_) {
      delete sign_;
      sign_ = nullptr;
      setViewportMargins(0, 0, 0, 0);
    }
  }
  QLabel* sign() const { return sign_; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QPlainTextEdit::resizeEvent(event);
    place_sign();
  }

 private:
  void place_sign() {
    if (sign_) sign_->move(width() - frameWidth() - 18, frameWidth() + 2);
  }
  QLabel* sign_ = nullptr;
};

// Shows or clears the warning on a text field: the tint, the sign at its end
// and the reason as tooltip (on the sign too, where the pointer rests).
void show_warning(QWidget* w, const std::optional<std::string>& problem) {
  const QString reason = problem ? q(*problem) : QString();
  w->setToolTip(reason);
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    auto* sign = e->findChild<QAction*>(QStringLiteral("valueWarningSign"), Qt::FindDirectChildrenOnly);
    if (problem && !sign) {
      sign = e->addAction(warning_icon(), QLineEdit::TrailingPosition);
      sign->setObjectName(QStringLiteral("valueWarningSign"));
    } else if (!problem) {
      delete sign;
      sign = nullptr;
    }
    if (sign) sign->setToolTip(reason);
  } else if (auto* box = dynamic_cast<TextBox*>(w)) {
    box->set_sign(problem.has_value());
    if (box->sign()) box->sign()->setToolTip(reason);
  }
  // Set on the field's own class only, so a multi-line box's scroll bars keep the skin's look.
  w->setStyleSheet(problem ? warning_sheet(w) : QString());
}

// Items left to right, starting a new line where the next one would not fit.
class FlowLayout : public QLayout {
 public:
  explicit FlowLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }
  ~FlowLayout() override {
    while (QLayoutItem* item = FlowLayout::takeAt(0)) delete item;
  }
  void addItem(QLayoutItem* item) override { items_.push_back(item); }
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int i) const override { return i >= 0 && i < count() ? items_[static_cast<size_t>(i)] : nullptr; }
  QLayoutItem* takeAt(int i) override {
    if (i < 0 || i >= count()) return nullptr;
    QLayoutItem* item = items_[static_cast<size_t>(i)];
    items_.erase(items_.begin() + i);
    return item;
  }
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
  void setGeometry(const QRect& rect) override {
    QLayout::setGeometry(rect);
    arrange(rect, true);
  }
  // At least as wide as its widest item; as tall as its lines at that width.
  QSize minimumSize() const override {
    QSize size;
    for (QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
    return size;
  }
  QSize sizeHint() const override { return minimumSize(); }

 private:
  static constexpr int kAcross = 6;
  static constexpr int kDown = 2;

  int arrange(const QRect& rect, bool apply) const {
    int x = rect.x();
    int y = rect.y();
    int line = 0;
    for (QLayoutItem* item : items_) {
      if (item->isEmpty()) continue;
      const QSize size = item->sizeHint();
      if (x > rect.x() && x + size.width() > rect.right() + 1) {
        x = rect.x();
        y += line + kDown;
        line = 0;
      }
      if (apply) item->setGeometry(QRect(QPoint(x, y), size));
      x += size.width() + kAcross;
      line = std::max(line, size.height());
    }
    return y + line - rect.y();
  }

  std::vector<QLayoutItem*> items_;
};

// A group box at least as wide as its title where the style draws it: a
// skin may start the title further in than the box's own size allows for.
class TitledBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;
  QSize minimumSizeHint() const override {
    QSize size = QGroupBox::minimumSizeHint();
    if (title().isEmpty()) return size;
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect text = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    // As much room after the title as before it.
    return size.expandedTo(QSize(text.right() + 1 + std::max(text.left(), 0), 0));
  }
};

void hide_all(std::initializer_list<QWidget*> widgets) {
  for (QWidget* w : widgets) {
    if (w) w->hide();
  }
}

bool needs_width(const Item& item) {
  const auto* r = std::get_if<Row>(&item.v);
  return std::holds_alternative<Group>(item.v) || std::holds_alternative<LineList>(item.v) || (r && r->stacked) ||
         (std::holds_alternative<Field>(item.v) && std::get<Field>(item.v).kind == FieldKind::Multiline);
}

}  // namespace

PageView::PageView(Form& form, Env& env, OutputPanel::StartTool start_tool, QWidget* parent)
    : QWidget(parent), form_(form), env_(env) {
  const Page& page = form.page();
  setObjectName(q(page.slug));

  upper_ = new TitledBox(q(page.caption), this);
  auto* scroll = new QScrollArea(upper_);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(render(page.items, scroll, {4, 0, 4, 0}));
  auto* upper_layout = new QVBoxLayout(upper_);
  upper_layout->setContentsMargins(4, 2, 4, 2);
  upper_layout->addWidget(scroll);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  if (page.output.empty()) {
    layout->addWidget(upper_, 1);
  } else {
    // Both parts grow with the window; the person moves the split between them.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("output-splitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(upper_);
    panel_ = new OutputPanel(form, env, std::move(start_tool), split);
    split->addWidget(panel_);
    split->setSizes({495, 160});  // the panel's 160 px in the default window
    layout->addWidget(split, 1);
  }

  token_ = form.subscribe([this](const Change& c) { changed(c); });
}

PageView::~PageView() { form_.unsubscribe(token_); }

QWidget* PageView::render(const std::vector<Item>& items, QWidget* parent, QMargins margins) {
  auto* box = new QWidget(parent);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(margins);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  grid->setColumnStretch(2, 1);
  int row = 0;
  for (const Item& item : items) row += place(item, grid, row, box);
  // Items keep their natural height; the space left stays below them.
  grid->setRowStretch(row, 1);
  return box;
}

// Top-to-bottom items go into a three-column grid (label, field, hint), so
// the fields of one box line up. Returns the grid rows taken.
int PageView::place(const Item& item, QGridLayout* grid, int row, QWidget* parent) {
  if (const auto* f = std::get_if<Field>(&item.v)) {
    QWidget* w = make_field(*f, parent, false);
    QLabel* label = nullptr;
    QLabel* hint = f->hint.empty() ? nullptr : make_label(f->hint, parent, true);
    const bool under = hint && f->hint_below;
    switch (f->kind) {
      case FieldKind::Check:
      case FieldKind::Radio: grid->addWidget(w, row, 0, 1, 2, Qt::AlignLeft); break;
      case FieldKind::Multiline:
        if (!f->label.empty()) {
          label = make_label(f->label, parent, false);
          grid->addWidget(label, row, 0, Qt::AlignTop);
        }
        grid->addWidget(w, row, 1, 1, hint && !under ? 1 : 2);
        break;
      default:
        if (!f->label.empty()) {
          label = make_label(f->label, parent, false);
          grid->addWidget(label, row, 0);
        }
        grid->addWidget(w, row, 1);
        break;
    }
    if (under) {
      grid->addWidget(hint, row + 1, 1, 1, 2);
    } else if (hint) {
      grid->addWidget(hint, row, 2);
    }
    if (!f->visible) hide_all({label, hint});
    return under ? 2 : 1;
  }
  if (const auto* b = std::get_if<Button>(&item.v)) {
    grid->addWidget(make_button(*b, parent), row, 0, 1, 3, Qt::AlignLeft);
  } else if (const auto* n = std::get_if<Note>(&item.v)) {
    grid->addWidget(make_label(n->text, parent, true), row, 0, 1, 3);
  } else if (const auto* l = std::get_if<LineList>(&item.v)) {
    grid->addWidget(make_list(*l, parent), row, 0, 1, 3);
  } else if (const auto* g = std::get_if<Group>(&item.v)) {
    grid->addWidget(make_group(*g, parent), row, 0, 1, 3);
  } else if (const auto* r = std::get_if<Row>(&item.v); r && r->stacked) {
    grid->addWidget(render(r->items, parent, {}), row, 0, 1, 3);
  } else if (const auto* r = std::get_if<Row>(&item.v); r && r->wrap) {
    // Each item a widget of its own, so a pair of buttons stays together on a line.
    auto* holder = new QWidget(parent);
    auto* flow = new FlowLayout(holder);
    for (const Item& inner : r->items) {
      auto* piece = new QWidget(holder);
      auto* line = new QHBoxLayout(piece);
      line->setContentsMargins(0, 0, 0, 0);
      line->setSpacing(6);
      place_inline(inner, line, piece);
      flow->addWidget(piece);
    }
    grid->addWidget(holder, row, 0, 1, 3);
  } else if (const auto* r = std::get_if<Row>(&item.v)) {
    auto* line = new QHBoxLayout;
    line->setSpacing(6);
    bool stretch = true;
    for (const Item& inner : r->items) {
      place_inline(inner, line, parent);
      if (needs_width(inner)) stretch = false;
    }
    if (stretch) line->addStretch(1);
    grid->addLayout(line, row, 0, 1, 3);
  }
  return 1;
}

// Items side by side: each field with its label before and its hint after.
void PageView::place_inline(const Item& item, QHBoxLayout* line, QWidget* parent) {
  if (const auto* f = std::get_if<Field>(&item.v)) {
    bool own_caption = f->kind == FieldKind::Check || f->kind == FieldKind::Radio;
    QLabel* label = !own_caption && !f->label.empty() ? make_label(f->label, parent, false) : nullptr;
    QWidget* w = make_field(*f, parent, true);
    const bool under = !f->hint.empty() && f->hint_below;
    QLabel* hint = f->hint.empty() ? nullptr : make_label(f->hint, parent, false);
    if (label) line->addWidget(label, 0, under ? Qt::AlignTop : Qt::Alignment());
    if (under) {
      // The field over its hint, the pair as wide as the hint wants.
      auto* stack = new QVBoxLayout;
      stack->setSpacing(0);
      stack->addWidget(w, 0, Qt::AlignLeft);
      stack->addWidget(hint);
      line->addLayout(stack);
    } else {
      line->addWidget(w, f->kind == FieldKind::Multiline ? 1 : 0);
      if (hint) line->addWidget(hint);
    }
    if (!f->visible) hide_all({label, hint});
  } else if (const auto* b = std::get_if<Button>(&item.v)) {
    line->addWidget(make_button(*b, parent));
  } else if (const auto* n = std::get_if<Note>(&item.v)) {
    line->addWidget(make_label(n->text, parent, false));
  } else if (const auto* l = std::get_if<LineList>(&item.v)) {
    line->addWidget(make_list(*l, parent), 1);
  } else if (const auto* g = std::get_if<Group>(&item.v)) {
    line->addWidget(make_group(*g, parent), 1);
  } else if (const auto* r = std::get_if<Row>(&item.v); r && r->stacked) {
    line->addWidget(render(r->items, parent, {}), 1);
  } else if (const auto* r = std::get_if<Row>(&item.v)) {
    for (const Item& inner : r->items) place_inline(inner, line, parent);
  }
}

QWidget* PageView::make_group(const Group& g, QWidget* parent) {
  auto* box = new TitledBox(q(g.caption), parent);
  auto* inner = new QVBoxLayout(box);
  inner->setContentsMargins(0, 0, 0, 0);
  inner->addWidget(render(g.items, box, {4, 0, 4, 1}));
  return box;
}

QWidget* PageView::make_field(const Field& f, QWidget* parent, bool in_row) {
  const std::string id = f.id;
  QWidget* w = nullptr;
  switch (f.kind) {
    case FieldKind::Edit: {
      auto* e = new QLineEdit(parent);
      e->setFixedWidth(f.width > 0 ? e->fontMetrics().horizontalAdvance(QString(f.width, u'0')) + 16
                                   : edit_width(e, f.text, in_row));
      e->setReadOnly(f.read_only);
      connect(e, &QLineEdit::textEdited, this,
              [this, id](const QString& text) { guarded([&] { form_.set_text(id, typed(text, false)); }); });
      w = e;
      break;
    }
    case FieldKind::Multiline: {
      auto* e = new TextBox(parent);
      e->setReadOnly(f.read_only);
      e->setTabChangesFocus(true);
      e->setMinimumHeight(60);
      connect(e, &QPlainTextEdit::textChanged, this, [this, id, e] {
        if (syncing_) return;
        guarded([&] { form_.set_text(id, typed(e->toPlainText(), true)); });
      });
      w = e;
      break;
    }
    case FieldKind::Check: {
      auto* c = new QCheckBox(q(f.label), parent);
      connect(c, &QCheckBox::clicked, this, [this, id](bool on) {
        act([&] { toggle(form_, id, on); });
        show_checked(id);
      });
      w = c;
      break;
    }
    case FieldKind::Radio: {
      auto* r = new QRadioButton(q(f.label), parent);
      // The Form clears the partners of the declared group; Qt's own rule
      // would join every radio button of one parent.
      r->setAutoExclusive(false);
      connect(r, &QRadioButton::clicked, this, [this, id] {
        act([&] { toggle(form_, id, true); });
        show_checked(id);
      });
      w = r;
      break;
    }
    case FieldKind::Combo: {
      auto* c = new QComboBox(parent);
      for (const std::string& item : f.items) c->addItem(q(item));
      c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      connect(c, &QComboBox::activated, this, [this, id](int index) { act([&] { form_.set_index(id, index); }); });
      w = c;
      break;
    }
  }
  w->setObjectName(q(id));
  fields_[id] = w;
  show_text(id);
  show_checked(id);
  show_index(id);
  w->setEnabled(form_.enabled(id));
  if (!f.visible) w->hide();
  return w;
}

QWidget* PageView::make_button(const Button& b, QWidget* parent) {
  auto* button = new QPushButton(q(b.caption), parent);
  button->setObjectName(q(b.designer.empty() ? b.id : b.designer));
  button->setProperty("buttonId", q(b.id));
  const Button* decl = &b;
  connect(button, &QPushButton::clicked, this, [this, decl] {
    act([&] {
      if (!decl->run) return;
      if (panel_) panel_->pressing(*decl);
      const PressReport report = press_button(form_, env_, *decl);
      if (panel_) panel_->pressed(report);
    });
  });
  return button;
}

QWidget* PageView::make_list(const LineList& l, QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(q(l.id));
  tree->setRootIsDecorated(false);
  tree->setUniformRowHeights(true);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setSelectionBehavior(QAbstractItemView::SelectRows);
  // A few lines at a time: the editing fields and buttons around it stay in view.
  tree->setFixedHeight(tree->fontMetrics().height() * (l.lines + 1) + 12);
  QStringList titles;
  for (const Column& c : l.columns) titles << q(c.title);
  tree->setColumnCount(static_cast<int>(l.columns.size()));
  tree->setHeaderLabels(titles);
  tree->header()->setStretchLastSection(false);
  int columns = 0;
  for (size_t i = 0; i < l.columns.size(); ++i) {
    tree->setColumnWidth(static_cast<int>(i), l.columns[i].width);
    columns += l.columns[i].width;
  }
  // Every column in view, also with the list beside other items.
  tree->setMinimumWidth(columns + 2 * tree->frameWidth() + tree->verticalScrollBar()->sizeHint().width());
  lists_[l.id] = tree;

  const std::string id = l.id;
  const LineList* decl = &l;
  connect(tree, &QTreeWidget::itemSelectionChanged, this, [this, id, tree] {
    if (syncing_) return;
    QList<QTreeWidgetItem*> chosen = tree->selectedItems();
    int row = chosen.isEmpty() ? -1 : tree->indexOfTopLevelItem(chosen.first());
    guarded([&] { form_.select(id, row); });
  });
  connect(tree, &QTreeWidget::itemClicked, this, [this, id, decl] {
    act([&] {
      if (decl->on_click && form_.selected(id) >= 0) decl->on_click(form_);
    });
  });
  show_rows(id);
  return tree;
}

void PageView::act(const std::function<void()>& fn) {
  guarded(fn);
  if (panel_) panel_->flush();
}

void PageView::changed(const Change& c) {
  switch (c.kind) {
    case Change::Text: show_text(c.id); break;
    case Change::Checked: show_checked(c.id); break;
    case Change::Index: show_index(c.id); break;
    case Change::Enabled:
      if (auto it = fields_.find(c.id); it != fields_.end()) it->second->setEnabled(form_.enabled(c.id));
      mark(c.id);
      break;
    case Change::Rows: show_rows(c.id); break;
    case Change::Selection: show_selection(c.id); break;
    case Change::Output:
    case Change::Files: break;  // the output panel follows them
  }
}

void PageView::show_text(const std::string& id) {
  auto it = fields_.find(id);
  if (it == fields_.end()) return;
  mark(id);
  const Gbk& text = form_.text(id);
  if (auto* e = qobject_cast<QLineEdit*>(it->second)) {
    // Unchanged text keeps the cursor where the person is typing.
    if (typed(e->text(), false) != text) {
      e->setText(shown(text));
      // A text wider than its box shows its start.
      e->setCursorPosition(0);
    }
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(it->second)) {
    if (typed(m->toPlainText(), true) != text) {
      syncing_ = true;
      m->setPlainText(shown(text));
      syncing_ = false;
    }
  } else if (qobject_cast<QComboBox*>(it->second)) {
    show_index(id);
  }
}

// A warning, with the reason as tooltip, on a text field whose value would
// likely break the script; it never stops typing or pressing.
void PageView::mark(const std::string& id) {
  auto it = fields_.find(id);
  if (it == fields_.end()) return;
  QWidget* w = it->second;
  if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QPlainTextEdit*>(w)) return;
  const Field* f = find_field(form_.page(), id);
  std::optional<std::string> problem;
  // The page's own default is never marked: a placeholder (the MAC boxes' 00-00-00-00-00) is
  // only read once its switch is ticked, and the user has typed nothing yet.
  if (f && form_.enabled(id) && form_.text(id) != to_gbk(f->text)) problem = value_problem(f->value, form_.text(id));
  const bool was = w->property("valueWarning").toBool();
  if (problem.has_value() == was && (!problem || w->toolTip() == q(*problem))) return;
  w->setProperty("valueWarning", problem.has_value());
  show_warning(w, problem);
}

void PageView::show_checked(const std::string& id) {
  auto it = fields_.find(id);
  if (it == fields_.end()) return;
  if (auto* b = qobject_cast<QAbstractButton*>(it->second)) b->setChecked(form_.checked(id));
}

void PageView::show_index(const std::string& id) {
  auto it = fields_.find(id);
  if (it == fields_.end()) return;
  if (auto* c = qobject_cast<QComboBox*>(it->second)) c->setCurrentIndex(form_.index(id));
}

void PageView::show_rows(const std::string& id) {
  auto it = lists_.find(id);
  if (it == lists_.end()) return;
  QTreeWidget* tree = it->second;
  syncing_ = true;
  tree->clear();
  QList<QTreeWidgetItem*> items;
  for (const Cells& cells : form_.rows(id)) {
    QStringList texts;
    for (const Gbk& cell : cells) texts << shown(cell);
    items << new QTreeWidgetItem(texts);
  }
  tree->addTopLevelItems(items);
  syncing_ = false;
  show_selection(id);
}

void PageView::show_selection(const std::string& id) {
  auto it = lists_.find(id);
  if (it == lists_.end()) return;
  QTreeWidget* tree = it->second;
  int row = form_.selected(id);
  syncing_ = true;
  if (QTreeWidgetItem* item = row >= 0 ? tree->topLevelItem(row) : nullptr) {
    tree->setCurrentItem(item);
  } else {
    tree->clearSelection();
    tree->setCurrentItem(nullptr);
  }
  syncing_ = false;
}

}  // namespace rosgen::app
