// The tables that bind the window to the program: every control, menu item
// and key reaches a handler; names, identifiers and keys are not given
// twice; items that cannot act are disabled.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "shell/keys.h"
#include "support/test_app.h"

namespace pelisto::test {
namespace {

// The events a control of the form table raises.
std::vector<Event> eventsOf(Control id, ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton: return {Event::click(id)};
    case ControlKind::kScrollBar: return {Event::scroll()};
    case ControlKind::kList: return {Event::listClick()};
    case ControlKind::kMci: return {Event::mciDone()};
    default: break;
  }
  std::vector<Event> events;
  const std::pair<int, EventKind> mouse[] = {{kRaisesDown, EventKind::kMouseDown},
                                             {kRaisesMove, EventKind::kMouseMove},
                                             {kRaisesUp, EventKind::kMouseUp}};
  for (const auto& [bit, event] : mouse) {
    if (mouseEventsOf(id) & bit) events.push_back(Event::mouse(event, id, 0, 0, 0));
  }
  return events;
}

TEST(CommandTable, EveryControlMenuItemAndKeyHasAHandler) {
  std::vector<std::pair<Control, ControlKind>> controls = {{Control::MAINFORM, ControlKind::kForm},
                                                            {Control::BUTTON13, ControlKind::kButton}};
  for (const ControlInfo& c : mainFormControls()) controls.emplace_back(c.id, c.kind);
  for (const auto& [id, kind] : controls) {
    for (const Event& e : eventsOf(id, kind)) EXPECT_NE(handlerName(e), "") << int(id) << " " << int(e.kind);
  }
  std::set<std::string> names;
  std::set<int> identifiers;
  for (const MenuItemInfo& m : menuItems()) {
    EXPECT_NE(handlerName(Event::choose(m.id)), "") << m.name;
    EXPECT_TRUE(names.insert(m.name).second && identifiers.insert(m.identifier).second) << m.name;
  }
  std::set<std::string> keys;
  for (const std::string& key : commandKeys()) {
    EXPECT_TRUE(keys.insert(key).second) << key << " twice";
    const std::optional<KeyCommand> command = commandForKey(key);
    ASSERT_TRUE(command) << key;
    EXPECT_NE(handlerName(command->event), "") << key;
  }
  EXPECT_FALSE(commandForKey("Ctrl+Q") || commandForKey("ctrl+o"));
}

// The rows of the README's map of the controls: control or menu item,
// caption, handler, file.
std::multimap<std::string, std::vector<std::string>> readmeMap() {
  std::ifstream in(std::string(PELISTO_SOURCE_DIR) + "/README.md");
  std::multimap<std::string, std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("| ")) continue;
    std::vector<std::string> cells;
    std::istringstream cellsIn(line.substr(2));
    for (std::string cell; std::getline(cellsIn, cell, '|');) {
      cells.push_back(cell.substr(0, cell.find_last_not_of(' ') + 1));
      cellsIn.ignore(1);
    }
    if (cells.size() == 4) rows.emplace(cells[0], cells);
  }
  return rows;
}

TEST(CommandTable, TheReadmeMapsEveryControlAndMenuItemToItsHandler) {
  const auto rows = readmeMap();
  ASSERT_FALSE(rows.empty());
  // The handler named on a row of name, and the file it names existing.
  auto expectRow = [&rows](const std::string& name, const std::string& handler) {
    bool found = false;
    for (auto [at, end] = rows.equal_range(name); at != end; ++at) {
      if (at->second[2].substr(0, handler.size()) != handler) continue;
      found = true;
      const std::string file = std::string(PELISTO_SOURCE_DIR) + "/src/" + at->second[3];
      if (handler != "—") {
        EXPECT_TRUE(std::filesystem::exists(file)) << name << ": " << file;
      }
    }
    EXPECT_TRUE(found) << "no row of " << name << " with " << handler;
  };
  std::vector<Event> formEvents = eventsOf(Control::MAINFORM, ControlKind::kForm);
  formEvents.push_back(Event{EventKind::kClose});
  for (const Event& e : formEvents) expectRow("MAINFORM", handlerName(e));
  std::vector<ControlInfo> controls = mainFormControls();
  controls.push_back(controlInfo(Control::BUTTON13));
  for (const ControlInfo& c : controls) {
    const std::vector<Event> events = eventsOf(c.id, c.kind);
    if (events.empty()) expectRow(c.name, "—");
    for (const Event& e : events) expectRow(c.name, handlerName(e));
  }
  for (const MenuItemInfo& m : menuItems()) expectRow(m.name, handlerName(Event::choose(m.id)));
}

TEST(CommandTable, ItemsThatCannotActAreDisabled) {
  TestApp app;
  app.fs.setContents("/a.wav", wavFile(patternData(2 * kBytesPerSecond)));
  app.started();
  auto enabled = [&app] {
    std::string on;
    for (MenuItem m : {MenuItem::Undo, MenuItem::Redo, MenuItem::ListenJoin}) on += app.ui.isEnabled(m) ? '1' : '0';
    return on;
  };
  EXPECT_EQ(enabled(), "000");
  app.openWave("/a.wav");
  dispatchEvent(app.ctx, Event::click(Control::BUTTON3));
  dispatchEvent(app.ctx, Event::mouse(EventKind::kMouseDown, Control::PICTURE1, 1, 100, 10));
  EXPECT_EQ(enabled(), "101");  // a start marked, its line selected
  dispatchEvent(app.ctx, Event::choose(MenuItem::Undo));
  EXPECT_EQ(enabled(), "010");
}

}  // namespace
}  // namespace pelisto::test
