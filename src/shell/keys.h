// The program's keys: what each sends, whatever has the focus in the main
// window (dialogs keep their own keys). The keys of menu commands come from
// their rows in the form table; the play key and the first and last second
// have rows of their own here. The window and the scenario runner both
// look keys up here, by the name the window gives a key ("Ctrl+O", "[",
// "Ctrl+Right", "Space", "Home").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/context.h"
#include "shell/events.h"

namespace pelisto {

struct KeyCommand {
  Event event;
  // The menu item whose key it is: the key does nothing while the item is
  // disabled.
  std::optional<MenuItem> item;
  bool repeats = false;  // a held key acts again and again
};

// The command of the key of that name; nothing when the key has none.
std::optional<KeyCommand> commandForKey(const std::string& name);

// Every key name that has a command, in table order.
std::vector<std::string> commandKeys();

// The names in a row's list of keys ("Ctrl+Y, Ctrl+Shift+Z").
std::vector<std::string> splitKeys(const char* keys);

// Keeps every menu item's enabled state as its row says (after each
// event, and at start).
void showCommandStates(AppContext& ctx);

}  // namespace pelisto
