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

struct ControlInfo {
  Control id;
  const char* name;
  ControlKind kind;
  const char* caption;
  int left, top, width, height;  // client coordinates of the owning window
  FontSpec font;                 // as created (start-up changes heights)
  bool hasBack;                  // a back colour is given
  Rgb back;
};

// The controls of MAINFORM in creation order, then FORM3's button.
const std::vector<ControlInfo>& mainFormControls();
const ControlInfo& controlInfo(Control id);
const ControlInfo& form3Button();

// Window geometry. The client areas are fixed; the outer sizes are what the
// desktop's frame makes of them (800 × 580 and 480 × 320 with a classic frame).
constexpr const char* kMainTitle = "Pelisto";
constexpr int kMainOuterWidth = 800, kMainOuterHeight = 580;
constexpr int kMainClientWidth = 794, kMainClientHeight = 530;
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

extern const FontSpec kFormFont;  // "FixedSys" 18

struct MenuItemInfo {
  MenuItem id;
  const char* name;
  const char* menu;     // FileMenu, EditMenu, DispMenu, HelpMenu (in this order)
  const char* menuCaption;
  const char* caption;
  int identifier;
  bool separatorBefore;
  // The submenu of menu the item stands in (its caption; the items of one
  // submenu are exclusive choices), or none.
  const char* submenu = nullptr;
};

const std::vector<MenuItemInfo>& menuItems();

}  // namespace pelisto
