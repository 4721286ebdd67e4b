// The outside programs of the tools menu and the output panel: where they are
// looked for on each system and how they are started (no shell, no waiting).
#pragma once

#include <functional>
#include <optional>
#include <QString>

#include "app/desktop.h"

namespace rosgen::app {

enum class Tool { Winbox, Terminal, Telnet };

// Finds a program on the search path; empty when there is none.
using FindExecutable = std::function<QString(const QString& name)>;

// The command that starts the tool, or nothing when it is not there (a missing
// tool is not reported). `program_dir` is the folder holding Tools/.
std::optional<Command> tool_command(Tool tool, const QString& program_dir, const FindExecutable& find);
// The same, looking on the system's search path.
std::optional<Command> tool_command(Tool tool, const QString& program_dir);

}  // namespace rosgen::app
