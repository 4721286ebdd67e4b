#include "appearance/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>
#include <charconv>
#include <algorithm>
#include <fstream>
#include <optional>
#include <system_error>

#include "script/gbk.h"
#include "script/text.h"

namespace rosgen::appearance {
namespace fs = std::filesystem;
namespace {

QString qpath(const fs::path& p) { return QString::fromStdU16String(p.u16string()); }

// The whole file, or nothing when it is missing, unreadable or too large.
std::optional<std::string> read_all(const fs::path& file) {
  if (file.empty()) return std::nullopt;
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  auto size = fs::file_size(file, ec);
  if (ec || size > SettingsFile::kMaxFileSize) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view strip(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// One line of the file, split into what the profile functions see in it.
struct Line {
  std::string_view raw;  // without its line end
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // key value, blanks cut
};

Line parse(std::string_view raw) {
  Line line;
  line.raw = raw;
  std::string_view s = strip(raw);
  if (s.empty()) return line;
  if (s.front() == '[') {
    auto close = s.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = Line::kSection;
      line.name = strip(s.substr(1, close - 1));
    }
    return line;
  }
  line.kind = Line::kKey;
  auto eq = s.find('=');
  line.name = strip(s.substr(0, eq));
  if (eq != std::string_view::npos) line.value = strip(s.substr(eq + 1));
  return line;
}

std::vector<Line> lines_of(std::string_view content) {
  std::vector<Line> lines;
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);  // saved by an editor as UTF-8
  while (!content.empty()) {
    auto nl = content.find('\n');
    std::string_view raw = content.substr(0, nl);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    lines.push_back(parse(raw));
    if (nl == std::string_view::npos) break;
    content.remove_prefix(nl + 1);
  }
  return lines;
}

// Only the first section of a name counts, as with the profile functions.
std::optional<std::size_t> find_section(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Line::kSection && same_name(lines[i].name, section)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> lookup(const fs::path& file, std::string_view section, std::string_view key) {
  auto content = read_all(file);
  if (!content) return std::nullopt;
  auto lines = lines_of(*content);
  auto start = find_section(lines, section);
  if (!start) return std::nullopt;
  for (std::size_t i = *start + 1; i < lines.size() && lines[i].kind != Line::kSection; ++i) {
    if (lines[i].kind == Line::kKey && same_name(lines[i].name, key)) return std::string(lines[i].value);
  }
  return std::nullopt;
}

std::string unquote_and_cut(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > SettingsFile::kMaxValue) value.resize(SettingsFile::kMaxValue);
  return value;
}

bool breaks_lines(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

SettingsFile::SettingsFile(fs::path file, fs::path fallback) : file_(std::move(file)), fallback_(std::move(fallback)) {}

std::string SettingsFile::text(std::string_view section, std::string_view key, std::string_view def) const {
  auto value = lookup(file_, section, key);
  if (!value && !fallback_.empty()) value = lookup(fallback_, section, key);
  return unquote_and_cut(value ? *value : std::string(strip(def)));
}

std::int32_t SettingsFile::integer(std::string_view section, std::string_view key, std::string_view def) const {
  return to_integer(Gbk::from_bytes(text(section, key, def)));
}

bool SettingsFile::write(std::string_view section, const std::vector<std::pair<std::string, std::string>>& entries) {
  if (file_.empty() || section.empty() || breaks_lines(section) || section.find(']') != std::string_view::npos) {
    return false;
  }
  for (const auto& [key, value] : entries) {
    if (strip(key).empty() || breaks_lines(key) || key.find('=') != std::string::npos || breaks_lines(value)) {
      return false;
    }
  }

  std::error_code ec;
  std::string content;
  if (fs::exists(file_, ec)) {
    auto old = read_all(file_);
    if (!old) return false;  // never replace a file we could not read whole
    content = std::move(*old);
  }
  const std::string eol =
      content.find("\r\n") != std::string::npos || content.find('\n') == std::string::npos ? "\r\n" : "\n";

  std::vector<std::string> out;
  for (const Line& line : lines_of(content)) out.emplace_back(line.raw);
  for (const auto& [key, value] : entries) {
    std::optional<std::size_t> start;
    for (std::size_t i = 0; i < out.size() && !start; ++i) {
      Line l = parse(out[i]);
      if (l.kind == Line::kSection && same_name(l.name, section)) start = i;
    }
    if (!start) {
      if (!out.empty() && !strip(out.back()).empty()) out.emplace_back();
      out.push_back("[" + std::string(section) + "]");
      out.push_back(key + "=" + value);
      continue;
    }
    std::size_t last = *start;  // the section's last line that is not blank
    bool replaced = false;
    for (std::size_t i = *start + 1; i < out.size(); ++i) {
      Line l = parse(out[i]);
      if (l.kind == Line::kSection) break;
      if (l.kind == Line::kKey && same_name(l.name, key)) {
        // The key keeps its spelling, as the profile functions keep it.
        out[i] = std::string(l.name) + "=" + value;
        replaced = true;
        break;
      }
      if (l.kind != Line::kOther) last = i;
    }
    if (!replaced) out.insert(out.begin() + static_cast<std::ptrdiff_t>(last + 1), key + "=" + value);
  }

  std::string bytes;
  for (const auto& l : out) bytes += l + eol;

  if (file_.has_parent_path()) fs::create_directories(file_.parent_path(), ec);
  QSaveFile save(qpath(file_));
  save.setDirectWriteFallback(true);  // a writable file in a folder that is not
  if (!save.open(QIODevice::WriteOnly)) return false;
  if (save.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    save.cancelWriting();
    return false;
  }
  return save.commit();
}

namespace {

std::optional<int> whole_number(const SettingsFile& settings, const char* key) {
  const std::string text = settings.text(kWindowSection, key, "");
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<WindowPlace> read_window_place(const SettingsFile& settings) {
  auto x = whole_number(settings, "x");
  auto y = whole_number(settings, "y");
  auto width = whole_number(settings, "width");
  auto height = whole_number(settings, "height");
  if (!x || !y || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  WindowPlace place{*x, *y, *width, *height};
  place.maximized = settings.text(kWindowSection, "maximized", "0") == "1";
  place.output_height = std::max(0, whole_number(settings, "output").value_or(0));
  return place;
}

bool write_window_place(SettingsFile& settings, const WindowPlace& p) {
  auto n = [](int v) { return std::to_string(v); };
  return settings.write(kWindowSection, {{"x", n(p.x)},
                                         {"y", n(p.y)},
                                         {"width", n(p.width)},
                                         {"height", n(p.height)},
                                         {"maximized", p.maximized ? "1" : "0"},
                                         {"output", n(p.output_height)}});
}

bool folder_writable(const fs::path& dir) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return false;
  QTemporaryFile probe(QDir(qpath(dir)).filePath(QStringLiteral(".rosgen-write-test-XXXXXX")));
  return probe.open();  // removed again when probe goes
}

SettingsFile locate_settings(const fs::path& program_dir, const fs::path& user_config_dir,
                             const std::function<bool(const fs::path&)>& writable) {
  fs::path beside = program_dir / kSettingsFileName;
  std::error_code ec;
  bool file_ok = !fs::exists(beside, ec) || QFileInfo(qpath(beside)).isWritable();
  if (file_ok && writable(program_dir)) return SettingsFile(beside);
  return SettingsFile(user_config_dir / kSettingsFileName, beside);
}

}  // namespace rosgen::appearance
