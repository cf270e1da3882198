#include "app/events.h"

#include "app/handlers.h"

namespace pelisto {
namespace {

using Handler = void (*)(AppContext&);

Handler buttonHandler(Control c) {
  switch (c) {
    case Control::BUTTON1: return BUTTON1_ON;
    case Control::BUTTON2: return BUTTON2_ON;
    case Control::BUTTON3: return BUTTON3_ON;
    case Control::BUTTON4: return BUTTON4_ON;
    case Control::BUTTON5: return BUTTON5_ON;
    case Control::BUTTON6: return BUTTON6_ON;
    case Control::BUTTON7: return BUTTON7_ON;
    case Control::BUTTON8: return BUTTON8_ON;
    case Control::BUTTON9: return BUTTON9_ON;
    case Control::BUTTON10: return BUTTON10_ON;
    case Control::BUTTON11: return BUTTON11_ON;
    case Control::BUTTON12: return BUTTON12_ON;
    case Control::BUTTON13: return BUTTON13_ON;
    case Control::BUTTON14: return BUTTON14_ON;
    default: return nullptr;
  }
}

Handler menuHandler(MenuItem m) {
  switch (m) {
    case MenuItem::OpenWaveFile: return OPENWAVEFILE_ON;
    case MenuItem::OpenProject: return OPENPROJECT_ON;
    case MenuItem::SaveProject: return SAVEPROJECT_ON;
    case MenuItem::GrapgFast: return GRAPGFAST_ON;
    case MenuItem::Copyright: return COPYRIGHT_ON;
  }
  return nullptr;
}

}  // namespace

std::string handlerName(const Event& e) {
  switch (e.kind) {
    case EventKind::kButton: return std::string(controlInfo(e.control).name) + "_ON";
    case EventKind::kMenu: {
      std::string n = menuItemInfo(e.menu).name;
      for (auto& ch : n) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
      return n + "_ON";
    }
    case EventKind::kScroll: return "HSCROLL1_CHANGE";
    case EventKind::kListClick: return "LIST1_CLICK";
    case EventKind::kMouseDown:
      return e.control == Control::PICTURE1 ? "PICTURE1_MOUSEDOWN" : "";
    case EventKind::kMouseMove:
      return e.control == Control::PICTURE1 ? "PICTURE1_MOUSEMOVE" : "MAINFORM_MOUSEMOVE";
    case EventKind::kMouseUp:
      return e.control == Control::MAINFORM ? "MAINFORM_MOUSEUP" : "";
    case EventKind::kMciDone: return "MCI1_DONE";
    case EventKind::kClose: return "MAINFORM_QUERYCLOSE";
  }
  return "";
}

bool dispatchEvent(AppContext& ctx, const Event& e) {
  std::string name = handlerName(e);
  if (name.empty()) return false;
  auto& active = ctx.activeHandlers;
  if (active.count(name)) return false;
  active.insert(name);
  switch (e.kind) {
    case EventKind::kButton:
      if (Handler h = buttonHandler(e.control)) h(ctx);
      break;
    case EventKind::kMenu:
      if (Handler h = menuHandler(e.menu)) h(ctx);
      break;
    case EventKind::kScroll: HSCROLL1_CHANGE(ctx); break;
    case EventKind::kListClick: LIST1_CLICK(ctx); break;
    case EventKind::kMouseDown: PICTURE1_MOUSEDOWN(ctx, e.button, e.x, e.y); break;
    case EventKind::kMouseMove:
      if (e.control == Control::PICTURE1) PICTURE1_MOUSEMOVE(ctx, e.button, e.x, e.y);
      else MAINFORM_MOUSEMOVE(ctx, e.button, e.x, e.y);
      break;
    case EventKind::kMouseUp: MAINFORM_MOUSEUP(ctx, e.button, e.x, e.y); break;
    case EventKind::kMciDone: MCI1_DONE(ctx); break;
    case EventKind::kClose: MAINFORM_QUERYCLOSE(ctx); break;
  }
  active.erase(name);
  return true;
}

}  // namespace pelisto
