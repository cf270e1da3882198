#include "shell/keys.h"

#include "model/forms.h"

namespace pelisto {
namespace {

struct KeyRow {
  const char* name;
  EventKind kind;
};

// The keys that belong to no menu item.
constexpr KeyRow kOwnKeys[] = {
    {"Space", EventKind::kPlayOrStop},
    {"Home", EventKind::kFirstSecond},
    {"End", EventKind::kLastSecond},
};

}  // namespace

std::vector<std::string> splitKeys(const char* keys) {
  std::vector<std::string> names;
  const std::string all = keys ? keys : "";
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find(", ", at);
    if (end == std::string::npos) end = all.size();
    if (end > at) names.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  return names;
}

std::optional<KeyCommand> commandForKey(const std::string& name) {
  for (const KeyRow& k : kOwnKeys) {
    if (name == k.name) return KeyCommand{Event{k.kind}, std::nullopt, false};
  }
  for (const MenuItemInfo& m : menuItems()) {
    for (const std::string& key : splitKeys(m.keys)) {
      if (key == name) return KeyCommand{Event::choose(m.id), m.id, m.repeats};
    }
  }
  return std::nullopt;
}

std::vector<std::string> commandKeys() {
  std::vector<std::string> names;
  for (const KeyRow& k : kOwnKeys) names.push_back(k.name);
  for (const MenuItemInfo& m : menuItems()) {
    for (std::string& key : splitKeys(m.keys)) names.push_back(std::move(key));
  }
  return names;
}

void showCommandStates(AppContext& ctx) {
  for (const MenuItemInfo& m : menuItems()) {
    if (m.enabled) ctx.ui.setEnabled(m.id, m.enabled(ctx));
  }
}

}  // namespace pelisto
