// Shared test helpers: an outside world that records what a generator asks of
// it, and a one-call way to fill a page and press a button.
#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/driver.h"
#include "os/keys.h"
#include "pages/registry.h"
#include "script/env.h"
#include "script/form.h"

namespace rosgen::test {

struct Shown {
  std::string caption;
  std::string text;
  bool operator==(const Shown&) const = default;
};

class FakeEnv : public Env {
 public:
  void message(const std::string& text, const std::string& caption) override { messages.push_back({caption, text}); }
  std::optional<Gbk> input_box(const std::string& prompt, const std::string& title, const Gbk& initial) override {
    inputs.push_back({prompt, title, initial});
    return answer;
  }
  void open_address(const std::string& address) override { opened.push_back(address); }
  std::filesystem::path program_dir() override { return "/opt/rosgen"; }
  std::filesystem::path user_data_dir() override { return "/home/user/.local/share/rosgen"; }
  Date today() override { return date; }
  std::uint32_t tick_count() override { return ticks; }
  // A fixed sequence when one is given (cycled), else counting up.
  std::uint32_t random_below(std::uint32_t n) override {
    std::uint32_t r = randoms.empty() ? next_random++ : randoms[random_at++ % randoms.size()];
    return r % n;
  }
  bool append_file(const std::filesystem::path& file, const std::string& bytes) override {
    std::string key = file.generic_string();
    for (const std::string& denied : unwritable) {
      if (key.rfind(denied, 0) == 0) return false;
    }
    files[key] += bytes;
    return true;
  }
  std::size_t script_limit() override { return limit; }

  // Secrets counted up from 1 (each byte the pair's number), with their real public keys;
  // none at all when `keyless`.
  std::vector<KeyPair> new_key_pairs(std::size_t n) override {
    std::vector<KeyPair> out;
    if (keyless) return out;
    for (std::size_t i = 0; i < n; ++i) {
      KeyPair p;
      p.secret.fill(static_cast<std::uint8_t>(++pairs_made));
      p.public_key = os::x25519_public(p.secret);
      out.push_back(p);
    }
    return out;
  }

  struct Input {
    std::string prompt;
    std::string title;
    Gbk initial;
  };
  std::vector<Shown> messages;
  std::vector<Input> inputs;
  std::vector<std::string> opened;
  std::optional<Gbk> answer;
  Date date{2010, 3, 5};
  std::uint32_t ticks = 1000;
  std::vector<std::uint32_t> randoms;
  std::size_t random_at = 0;
  std::uint32_t next_random = 0;
  std::map<std::string, std::string> files;
  std::vector<std::string> unwritable;  // path prefixes that refuse writes
  bool keyless = false;
  std::uint32_t pairs_made = 0;
  std::size_t limit = std::size_t{16} << 20;
};

// A page's form after start-up, its outside world, and presses on it.
struct Session {
  explicit Session(const std::string& slug) : page(*find_page(slug)), form(start_form(page)) {}

  // Field values are UTF-8 here; "\n" in a multi-line value becomes CR LF.
  Outcome press(const std::string& button, const std::vector<std::pair<std::string, std::string>>& values = {},
                const std::vector<std::string>& check = {}, const std::vector<std::string>& uncheck = {}) {
    Press p;
    p.button = button;
    for (const auto& [id, value] : values) p.values.emplace_back(id, to_gbk(value));
    p.check = check;
    p.uncheck = uncheck;
    return rosgen::press(*form, env, p);
  }
  Outcome press(const Press& p) { return rosgen::press(*form, env, p); }

  std::string output() const { return to_utf8(form->output()); }
  void set_output(const std::string& text) { form->set_output(to_gbk(text)); }

  const Page& page;
  std::unique_ptr<Form> form;
  FakeEnv env;
};

// A RouterOS line that stops the script with an error unless `find` (a "/menu find ..." command)
// finds exactly `n` items: run after a script, it lets the model check what the script left.
inline std::string count_probe(const std::string& find, int n) {
  std::string said = find;
  std::replace(said.begin(), said.end(), '"', '\'');
  return ":if ([:len [" + find + "]] != " + std::to_string(n) + ") do={:error \"" + said + "\"}\r\n";
}

// The add of a line that adds only where the name is free (":if (...) do={/menu add ...}", with or
// without "else={...}"); any other line as it is.
inline std::string guarded_add(std::string line) {
  const size_t d = line.find(" do={/");
  if (!line.starts_with(":if ") || d == std::string::npos) return line;
  const size_t end = line.find("} else={");
  return line.substr(d + 5, (end == std::string::npos ? line.rfind('}') : end) - d - 5);
}

inline std::string crlf(std::initializer_list<std::string> lines, bool trailing) {
  std::string out;
  size_t i = 0;
  for (const std::string& line : lines) {
    out += line;
    if (++i < lines.size() || trailing) out += "\r\n";
  }
  return out;
}

}  // namespace rosgen::test
