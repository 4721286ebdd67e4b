// Presses every button of every page with fuzzed field values, check states,
// selections and line-list rows. Nothing may crash or hang, and a refused
// press must leave the output box as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "pages/registry.h"

using namespace rosgen;

namespace {

// An outside world without windows or disks.
class QuietEnv : public Env {
 public:
  explicit QuietEnv(std::uint32_t seed) : state_(seed) {}
  void message(const std::string&, const std::string&) override {}
  std::optional<Gbk> input_box(const std::string&, const std::string&, const Gbk& initial) override {
    if (state_ & 1) return std::nullopt;
    return initial;
  }
  void open_address(const std::string&) override {}
  std::filesystem::path program_dir() override { return "/nonexistent/rosgen"; }
  std::filesystem::path user_data_dir() override { return "/nonexistent/data"; }
  Date today() override { return {2010, static_cast<int>(state_ % 12) + 1, static_cast<int>(state_ % 28) + 1}; }
  std::uint32_t tick_count() override { return state_; }
  std::uint32_t random_below(std::uint32_t n) override {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 8) % n;
  }
  bool append_file(const std::filesystem::path&, const std::string& bytes) override {
    written_ += bytes.size();
    return written_ < (1u << 20);
  }
  // Keys that only look like keys: the generators' work is fuzzed, not the curve's.
  std::vector<KeyPair> new_key_pairs(std::size_t n) override {
    std::vector<KeyPair> out(n);
    for (KeyPair& p : out) {
      for (std::uint8_t& b : p.secret) b = static_cast<std::uint8_t>(random_below(256));
      p.public_key = p.secret;
    }
    return out;
  }

 private:
  std::uint32_t state_;
  std::size_t written_ = 0;
};

// Reads the fuzzer's bytes as a sequence of small choices and texts.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool done() const { return at_ >= size_; }
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string text() {
    std::size_t n = byte();
    if (n == 255) n = 70000;  // now and then a very long value
    std::string s;
    for (std::size_t i = 0; i < n && !done(); ++i) s += static_cast<char>(byte());
    if (n == 70000 && !s.empty()) s.resize(n, s[0]);
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void collect(const std::vector<Item>& items, std::vector<const Field*>& fields, std::vector<const Button*>& buttons) {
  walk(items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) fields.push_back(f);
    if (const auto* b = std::get_if<Button>(&item.v)) buttons.push_back(b);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const auto& all = pages();
  const Page& page = all[in.byte() % all.size()];
  std::vector<const Field*> fields;
  std::vector<const Button*> buttons;
  collect(page.items, fields, buttons);
  if (buttons.empty()) return 0;

  auto form = start_form(page);
  QuietEnv env(in.byte() * 2654435761u);
  // Fill the form, then press buttons; up to a few rounds so lists grow and shrink.
  for (int round = 0; round < 4 && !in.done(); ++round) {
    Press p;
    std::uint8_t edits = in.byte() % 8;
    for (std::uint8_t i = 0; i < edits && !fields.empty(); ++i) {
      const Field* f = fields[in.byte() % fields.size()];
      switch (f->kind) {
        case FieldKind::Edit:
        case FieldKind::Multiline: p.values.emplace_back(f->id, Gbk::from_bytes(in.text())); break;
        case FieldKind::Check:
        case FieldKind::Radio: (in.byte() & 1 ? p.check : p.uncheck).push_back(f->id); break;
        case FieldKind::Combo:
          p.select.emplace_back(f->id, static_cast<int>(in.byte() % (f->items.size() + 1)) - 1);
          break;
      }
    }
    std::uint8_t rows = in.byte() % 4;
    for (std::uint8_t i = 0; i < rows; ++i) p.rows.push_back({Gbk::from_bytes(in.text()), Gbk::from_bytes(in.text())});
    walk(page.items, [&](const Item& item, const std::string&) {
      if (const auto* l = std::get_if<LineList>(&item.v)) p.select.emplace_back(l->id, in.byte() % 5);
    });
    p.button = buttons[in.byte() % buttons.size()]->id;
    try {
      // Filling fields, rows and selections never touches the output box, so a
      // refused press must leave it as it was before the whole press.
      const Gbk before = form->output();
      if (rosgen::press(*form, env, p) == Outcome::Refused && !(form->output() == before)) {
        std::fprintf(stderr, "refused press on %s/%s changed the output\n", page.slug.c_str(), p.button.c_str());
        std::abort();
      }
    } catch (const UsageError&) {
      // A row with more cells than the list has columns: refused like the command line does.
    }
  }
  return 0;
}
