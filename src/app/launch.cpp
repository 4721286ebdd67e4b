#include "app/launch.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace rosgen::app {

#ifdef _WIN32

std::optional<Command> tool_command(Tool tool, const QString& program_dir, const FindExecutable&) {
  // As the program has always done: the Tools folder beside it, and telnet
  // from the search path. A missing file fails quietly when it is started.
  QString dir = QDir::toNativeSeparators(program_dir);
  switch (tool) {
    case Tool::Winbox: return Command{dir + QStringLiteral("\\Tools\\Winbox.exe"), {}};
    case Tool::Terminal: return Command{dir + QStringLiteral("\\Tools\\hypertrm.exe"), {}};
    case Tool::Telnet: return Command{QStringLiteral("telnet"), {}};
  }
  return std::nullopt;
}

#else

namespace {

bool runnable(const QString& path) {
  QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

// telnet needs a terminal window to talk in.
std::optional<Command> telnet_in_terminal(const FindExecutable& find) {
  QString terminal = find(QStringLiteral("x-terminal-emulator"));
  QString telnet = find(QStringLiteral("telnet"));
  if (terminal.isEmpty() || telnet.isEmpty()) return std::nullopt;
  return Command{terminal, {QStringLiteral("-e"), telnet}};
}

}  // namespace

std::optional<Command> tool_command(Tool tool, const QString& program_dir, const FindExecutable& find) {
  QDir tools(QDir(program_dir).filePath(QStringLiteral("Tools")));
  switch (tool) {
    case Tool::Winbox: {
      // The native WinBox first, else the Windows one through wine.
      QString native = tools.filePath(QStringLiteral("winbox"));
      if (runnable(native)) return Command{native, {}};
      QString exe = tools.filePath(QStringLiteral("Winbox.exe"));
      QString wine = find(QStringLiteral("wine"));
      if (QFileInfo(exe).isFile() && !wine.isEmpty()) return Command{wine, {exe}};
      return std::nullopt;
    }
    case Tool::Terminal: {
      QString own = tools.filePath(QStringLiteral("hypertrm"));
      if (runnable(own)) return Command{own, {}};
      return telnet_in_terminal(find);
    }
    case Tool::Telnet: return telnet_in_terminal(find);
  }
  return std::nullopt;
}

#endif

std::optional<Command> tool_command(Tool tool, const QString& program_dir) {
  return tool_command(tool, program_dir, [](const QString& name) { return QStandardPaths::findExecutable(name); });
}

}  // namespace rosgen::app
