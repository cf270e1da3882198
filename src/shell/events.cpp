#include "shell/events.h"

#include <array>
#include <cstdlib>
#include <exception>
#include <optional>

#include "editlist/handlers.h"
#include "model/list_state.h"
#include "playback/handlers.h"
#include "project/handlers.h"
#include "shell/handler_fault.h"
#include "shell/handlers.h"
#include "shell/keys.h"
#include "shell/open_document.h"
#include "view/handlers.h"
#include "view/markers.h"
#include "view/overview.h"
#include "view/window_title.h"
#include "wave/handlers.h"

namespace pelisto {
namespace {

// One row per handler: the event that runs it, its name, and whether it
// may change the edit list (such changes are recorded for saving and undo;
// a project load among them, through the menu, a name or a drop).
struct HandlerEntry {
  EventKind kind;
  Control control;  // buttons and mouse events
  std::optional<MenuItem> menu;  // menu commands
  const char* name;
  void (*run)(AppContext&, const Event&);
  bool editsList;
};

template <void (*F)(AppContext&)>
void plain(AppContext& ctx, const Event&) {
  F(ctx);
}
template <void (*F)(AppContext&, int, double, double)>
void mouse(AppContext& ctx, const Event& e) {
  F(ctx, e.button, e.x, e.y);
}
void queryClose(AppContext& ctx, const Event&) { ctx.closeRefused = !MAINFORM_QUERYCLOSE(ctx); }
void openPath(AppContext& ctx, const Event& e) { openDocument(ctx, e.path); }
void drop(AppContext& ctx, const Event& e) { dropOnWindow(ctx, e.paths); }
// The play button when nothing plays, else the stop button, each as if
// clicked (and so never entered again while it runs).
void playOrStop(AppContext& ctx, const Event&) {
  const Control button = ctx.state.PLAYFLAG == kPlayIdle ? Control::BUTTON1 : Control::BUTTON2;
  dispatchEvent(ctx, Event::click(button));
}

using K = EventKind;
using C = Control;
using M = MenuItem;
constexpr std::optional<MenuItem> kNoMenu;

// clang-format off
constexpr std::array kHandlers = {
    HandlerEntry{K::kButton, C::BUTTON1, kNoMenu, "BUTTON1_ON", plain<BUTTON1_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON2, kNoMenu, "BUTTON2_ON", plain<BUTTON2_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON3, kNoMenu, "BUTTON3_ON", plain<BUTTON3_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON4, kNoMenu, "BUTTON4_ON", plain<BUTTON4_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON5, kNoMenu, "BUTTON5_ON", plain<BUTTON5_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON6, kNoMenu, "BUTTON6_ON", plain<BUTTON6_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON7, kNoMenu, "BUTTON7_ON", plain<BUTTON7_ON>, true},
    HandlerEntry{K::kButton, C::BUTTON8, kNoMenu, "BUTTON8_ON", plain<BUTTON8_ON>, true},
    HandlerEntry{K::kButton, C::BUTTON9, kNoMenu, "BUTTON9_ON", plain<BUTTON9_ON>, true},
    HandlerEntry{K::kButton, C::BUTTON10, kNoMenu, "BUTTON10_ON", plain<BUTTON10_ON>, true},
    HandlerEntry{K::kButton, C::BUTTON11, kNoMenu, "BUTTON11_ON", plain<BUTTON11_ON>, true},
    HandlerEntry{K::kButton, C::BUTTON12, kNoMenu, "BUTTON12_ON", plain<BUTTON12_ON>, true},
    HandlerEntry{K::kButton, C::BUTTON13, kNoMenu, "BUTTON13_ON", plain<BUTTON13_ON>, false},
    HandlerEntry{K::kButton, C::BUTTON14, kNoMenu, "BUTTON14_ON", plain<BUTTON14_ON>, true},
    HandlerEntry{K::kMenu, C::MAINFORM, M::OpenWaveFile, "OPENWAVEFILE_ON", plain<OPENWAVEFILE_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::OpenProject, "OPENPROJECT_ON", plain<OPENPROJECT_ON>, true},
    HandlerEntry{K::kMenu, C::MAINFORM, M::SaveProject, "SAVEPROJECT_ON", plain<SAVEPROJECT_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::SaveProjectAgain, "SAVEPROJECTAGAIN_ON", plain<SAVEPROJECTAGAIN_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::GrapgFast, "GRAPGFAST_ON", plain<GRAPGFAST_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::Copyright, "COPYRIGHT_ON", plain<COPYRIGHT_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::Undo, "EDITUNDO", plain<EDITUNDO>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::Redo, "EDITREDO", plain<EDITREDO>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::SmoothJoins, "SMOOTHJOINS_ON", plain<SMOOTHJOINS_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::ListenJoin, "LISTENJOIN_ON", plain<LISTENJOIN_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::LoudnessOff, "LOUDNESSOFF_ON", plain<LOUDNESSOFF_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::Loudness16, "LOUDNESS16_ON", plain<LOUDNESS16_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::Loudness23, "LOUDNESS23_ON", plain<LOUDNESS23_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::MarkStartHere, "MARKSTARTHERE_ON", plain<MARKSTARTHERE_ON>, true},
    HandlerEntry{K::kMenu, C::MAINFORM, M::MarkEndHere, "MARKENDHERE_ON", plain<MARKENDHERE_ON>, true},
    HandlerEntry{K::kMenu, C::MAINFORM, M::SplitAtPauses, "SPLITATPAUSES_ON", plain<SPLITATPAUSES_ON>, true},
    HandlerEntry{K::kMenu, C::MAINFORM, M::Overview, "OVERVIEW_ON", plain<OVERVIEW_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::GoToTime, "GOTOTIME_ON", plain<GOTOTIME_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::NextPause, "NEXTPAUSE_ON", plain<NEXTPAUSE_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::PrevPause, "PREVPAUSE_ON", plain<PREVPAUSE_ON>, false},
    HandlerEntry{K::kMenu, C::MAINFORM, M::PauseSettings, "PAUSESETTINGS_ON", plain<PAUSESETTINGS_ON>, false},
    HandlerEntry{K::kScroll, C::HSCROLL1, kNoMenu, "HSCROLL1_CHANGE", plain<HSCROLL1_CHANGE>, false},
    HandlerEntry{K::kListClick, C::LIST1, kNoMenu, "LIST1_CLICK", plain<LIST1_CLICK>, false},
    HandlerEntry{K::kMouseDown, C::PICTURE1, kNoMenu, "PICTURE1_MOUSEDOWN", mouse<PICTURE1_MOUSEDOWN>, true},
    HandlerEntry{K::kMouseMove, C::PICTURE1, kNoMenu, "PICTURE1_MOUSEMOVE", mouse<PICTURE1_MOUSEMOVE>, false},
    HandlerEntry{K::kMouseMove, C::MAINFORM, kNoMenu, "MAINFORM_MOUSEMOVE", mouse<MAINFORM_MOUSEMOVE>, false},
    HandlerEntry{K::kMouseUp, C::MAINFORM, kNoMenu, "MAINFORM_MOUSEUP", mouse<MAINFORM_MOUSEUP>, true},
    HandlerEntry{K::kMouseDown, C::OVERVIEW, kNoMenu, "OVERVIEW_MOUSEDOWN", mouse<OVERVIEW_MOUSEDOWN>, false},
    HandlerEntry{K::kMouseMove, C::OVERVIEW, kNoMenu, "OVERVIEW_MOUSEMOVE", mouse<OVERVIEW_MOUSEMOVE>, false},
    HandlerEntry{K::kMouseUp, C::OVERVIEW, kNoMenu, "OVERVIEW_MOUSEUP", mouse<OVERVIEW_MOUSEUP>, false},
    HandlerEntry{K::kMciDone, C::MCI1, kNoMenu, "MCI1_DONE", plain<MCI1_DONE>, false},
    HandlerEntry{K::kClose, C::MAINFORM, kNoMenu, "MAINFORM_QUERYCLOSE", queryClose, false},
    HandlerEntry{K::kOpenPath, C::MAINFORM, kNoMenu, "OPENPATH", openPath, true},
    HandlerEntry{K::kDrop, C::MAINFORM, kNoMenu, "DROPFILES", drop, true},
    HandlerEntry{K::kPlayOrStop, C::MAINFORM, kNoMenu, "PLAYORSTOP", playOrStop, false},
    HandlerEntry{K::kFirstSecond, C::MAINFORM, kNoMenu, "FIRSTSECOND", plain<FIRSTSECOND>, false},
    HandlerEntry{K::kLastSecond, C::MAINFORM, kNoMenu, "LASTSECOND", plain<LASTSECOND>, false},
};
// clang-format on

// The entry an event runs: matched on its kind and, where the kind has
// several handlers, on its control or menu item.
const HandlerEntry* entryFor(const Event& e) {
  // Undo and redo by key are the commands of their menu items.
  if (e.kind == K::kUndo) return entryFor(Event::choose(M::Undo));
  if (e.kind == K::kRedo) return entryFor(Event::choose(M::Redo));
  for (const HandlerEntry& h : kHandlers) {
    if (h.kind != e.kind) continue;
    switch (e.kind) {
      case K::kButton:
        if (h.control == e.control) return &h;
        break;
      case K::kMouseDown:
      case K::kMouseMove:
      case K::kMouseUp:
        // Only the windows of the form table raise mouse events; each goes
        // to its own handlers.
        if (!hasCanvas(e.control)) std::abort();  // a programming error
        if (h.control == e.control) return &h;
        break;
      case K::kMenu:
        if (h.menu == e.menu) return &h;
        break;
      default:
        return &h;
    }
  }
  return nullptr;
}

}  // namespace

std::string handlerName(const Event& e) {
  const HandlerEntry* h = entryFor(e);
  return h ? h->name : "";
}

bool dispatchEvent(AppContext& ctx, const Event& e) {
  const HandlerEntry* h = entryFor(e);
  if (!h) return false;
  if (e.kind == EventKind::kClose) ctx.closeRefused = false;
  const int index = static_cast<int>(h - kHandlers.data());
  auto& active = ctx.activeHandlers;
  if (active.count(index)) return false;
  active.insert(index);
  const MarkedLine marked = markedLine(ctx);
  // Nothing that escapes a handler ends the program: memory running out in
  // a long command ends that command (endAfterFault).
  std::optional<ListChangeNote> change;
  try {
    if (h->editsList) change.emplace(ctx);
    h->run(ctx, e);
    if (change) change->finish();
  } catch (...) {
    if (e.kind == EventKind::kClose) ctx.closeRefused = true;  // nothing asked: the window stays
    endAfterFault(ctx, std::current_exception(), change ? &*change : nullptr);
  }
  // Whatever took the selected line away or moved it, its markers do not
  // stay behind; and the title tells the file and whether the list is saved.
  markersFollow(ctx, marked);
  showWindowTitle(ctx);
  showCommandStates(ctx);
  showOverview(ctx);
  active.erase(index);
  return true;
}

bool markHandlerRunning(AppContext& ctx, const std::string& name, bool running) {
  for (size_t i = 0; i < kHandlers.size(); ++i) {
    if (name != kHandlers[i].name) continue;
    if (running) {
      ctx.activeHandlers.insert(static_cast<int>(i));
    } else {
      ctx.activeHandlers.erase(static_cast<int>(i));
    }
    return true;
  }
  return false;
}

}  // namespace pelisto
