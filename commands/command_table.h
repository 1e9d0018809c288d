#pragma once

// Dispatch by name: a menu button's tag or a ribbon control's id chooses a command.

#include <span>
#include <string_view>

namespace morvane::commands {

struct NamedCommand {
  std::u16string_view name;
  void (*run)();
};

// Compares `name` with the table's names in their order, exactly and with letter case
// significant, and runs the command of the first match. Returns false when none matches.
inline bool RunNamedCommand(std::span<const NamedCommand> table, std::u16string_view name) {
  for (const NamedCommand& entry : table) {
    if (entry.name == name) {
      entry.run();
      return true;
    }
  }
  return false;
}

}  // namespace morvane::commands
