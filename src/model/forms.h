// The windows, controls and menu of the program: names, kinds, captions,
// client geometry, fonts and colours. Both backends build their windows
// from these tables, so the layout lives in one place.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"

namespace pelisto {

enum class ControlKind { kForm, kPicture, kLabel, kScrollBar, kEdit, kButton, kMci, kList };

// The mouse events a window raises, as bits: a picture control has a
// canvas of its own, and its mouse input goes to the handlers of the
// events it names here (and to no other control's).
enum MouseEvents : int { kRaisesDown = 1, kRaisesMove = 2, kRaisesUp = 4 };

struct ControlInfo {
  Control id;
  const char* name;
  ControlKind kind;
  const char* caption;
  int left, top, width, height;  // client coordinates of the owning window
  FontSpec font;                 // as created (start-up changes heights)
  bool hasBack;                  // a back colour is given
  Rgb back;
  int mouse = 0;                 // MouseEvents: the mouse events it raises
};

// The controls of MAINFORM in creation order, then FORM3's button.
const std::vector<ControlInfo>& mainFormControls();
const ControlInfo& controlInfo(Control id);
const ControlInfo& form3Button();

// A picture control's canvas: its client area inside a one-pixel border.
int canvasWidth(const ControlInfo& picture);
int canvasHeight(const ControlInfo& picture);
// True for the windows that have a canvas and raise mouse events: MAINFORM
// and the picture controls.
bool hasCanvas(Control id);
// The mouse events a window raises (MAINFORM: moves and releases over its
// client area outside the controls).
int mouseEventsOf(Control id);

// Window geometry. The client areas are fixed; the outer sizes are what the
// desktop's frame makes of them (800 × 580 and 480 × 320 with a classic frame).
constexpr const char* kMainTitle = "Pelisto";
constexpr int kMainOuterWidth = 800, kMainOuterHeight = 580;
constexpr int kMainClientWidth = 794, kMainClientHeight = 530;
// The strip of the whole file (OVERVIEW), below the lowest row of buttons:
// while it is shown the client area grows by its height and a margin.
constexpr int kOverviewLeft = 104, kOverviewTop = kMainClientHeight;
constexpr int kOverviewWidth = 600, kOverviewHeight = 48, kOverviewMargin = 8;
constexpr int kMainClientHeightWithOverview = kMainClientHeight + kOverviewHeight + kOverviewMargin;
constexpr int kMainLeft = 166, kMainTop = 117;
constexpr const char* kForm3Title = "著作権表示";
constexpr int kForm3OuterWidth = 480, kForm3OuterHeight = 320;
constexpr int kForm3ClientWidth = 474, kForm3ClientHeight = 290;
constexpr int kForm3Left = 66, kForm3Top = 66;
// PICTURE1's client area inside its one-pixel border.
constexpr int kPictureClientWidth = 598, kPictureClientHeight = 126;
// PICTURE1 is drawn over the box (0, 0) … (kPictureDrawRight,
// kPictureDrawBottom), past its client area (the canvas clips).
constexpr int kPictureDrawRight = 660, kPictureDrawBottom = 128;

// The palette entries the drawing uses. Start-up sets kFaceEntry of
// MAINFORM's palette to the button face; PICTURE1 keeps its own palette.
constexpr int kFaceEntry = kPaletteSilver;      // MAINFORM: the marker band
constexpr int kTopRuleDarkEntry = kPaletteGrey;  // MAINFORM: the two rules across the top
constexpr int kTopRuleLightEntry = kPaletteWhite;
constexpr int kScaleEntry = kPaletteBlack;       // MAINFORM: the amplitude scale
constexpr int kMarkerEntry = kPaletteRed;        // MAINFORM: the markers
constexpr int kPictureBackEntry = kPaletteWhite;  // PICTURE1: the background
constexpr int kZeroLineEntry = kPaletteSilver;   // PICTURE1: the centre line
constexpr int kWaveEntry = kPaletteBlue;         // PICTURE1: the waveform
constexpr int kCursorEntry = kPaletteTeal;       // PICTURE1: the cursor line
constexpr int kPauseEntry = kPalettePurple;      // PICTURE1: the pause line; OVERVIEW: pause ticks
// OVERVIEW draws the envelope in the waveform's colours (kPictureBackEntry,
// kZeroLineEntry, kWaveEntry), and these:
constexpr int kStripShadeEntry = kPaletteYellow;   // the selected entry's range (a pale yellow)
constexpr int kStripEntryEntry = kPaletteRed;      // the bars of the list's entries
constexpr int kStripViewEntry = kPaletteBlack;     // the box of the second in view
constexpr int kStripCursorEntry = kPaletteTeal;    // the play cursor
constexpr int kStripLoudnessEntry = kPaletteNavy;  // the RMS level within the envelope
constexpr Rgb kStripShade{255, 240, 170};

extern const FontSpec kFormFont;  // "FixedSys" 18

struct AppContext;

// How a menu item shows a check mark: none; on and off by itself; or as one
// of the exclusive choices of its submenu (choosing one clears the others).
enum class CheckKind { kNone, kToggle, kChoice };

// One row per menu command: where it is in the menu, its keys, its check
// mark and when it can act. The window builds the menu from these rows,
// the keys are looked up in them (shell/keys.h), and the program keeps
// every item's enabled state as its row says.
struct MenuItemInfo {
  MenuItem id;
  const char* name;
  const char* menu;     // FileMenu, EditMenu, DispMenu, HelpMenu (in this order)
  const char* menuCaption;
  const char* caption;
  int identifier;
  bool separatorBefore;
  // Its keys as the window names them ("Ctrl+O", "[", "Ctrl+Right"),
  // several separated by ", "; the first is shown beside the caption.
  const char* keys = "";
  CheckKind check = CheckKind::kNone;
  // When it can act; null: always. A disabled item cannot be chosen and
  // its keys do nothing.
  bool (*enabled)(const AppContext& ctx) = nullptr;
  bool repeats = false;  // a held key acts again and again
  // The caption of the submenu of menu it is in (null: none); the items of
  // one submenu are listed one after another.
  const char* submenu = nullptr;
};

const std::vector<MenuItemInfo>& menuItems();
const MenuItemInfo& menuItemInfo(MenuItem id);

}  // namespace pelisto
