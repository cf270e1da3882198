#include "model/forms.h"

#include <cstdlib>

#include "model/context.h"

namespace pelisto {
namespace {

const Rgb kGrey{192, 192, 192};
const Rgb kWhite{255, 255, 255};
const FontSpec kGothicP{"ＭＳ Ｐゴシック", 10, 1};
const FontSpec kGothicP14{"ＭＳ Ｐゴシック", 14, 1};
const FontSpec kMincho9{"ＭＳ 明朝", 9, 1};
const FontSpec kNone{"", 0, 1};
constexpr const char* kLoudnessMenu = "音量をそろえる";

}  // namespace

const FontSpec kFormFont{"FixedSys", 18, 1};

const std::vector<ControlInfo>& mainFormControls() {
  using C = Control;
  using K = ControlKind;
  static const std::vector<ControlInfo> controls = {
      {C::PICTURE1, "PICTURE1", K::kPicture, "", 104, 72, 600, 128, kGothicP14, false, {},
       kRaisesDown | kRaisesMove},
      {C::TEXT1, "TEXT1", K::kLabel, "表示位置", 104, 32, 64, 16, kGothicP, true, kGrey},
      {C::HSCROLL1, "HSCROLL1", K::kScrollBar, "", 104, 200, 600, 16, kNone, false, {}},
      {C::TEXT2, "TEXT2", K::kLabel, "再生時間", 360, 32, 72, 16, kGothicP, true, kGrey},
      {C::EDIT1, "EDIT1", K::kEdit, "", 440, 24, 120, 24, kGothicP, true, kWhite},
      {C::EDIT2, "EDIT2", K::kEdit, "", 184, 24, 120, 24, kGothicP, true, kWhite},
      {C::BUTTON1, "BUTTON1", K::kButton, "元曲再生", 104, 232, 80, 24, kGothicP, true, kGrey},
      {C::MCI1, "MCI1", K::kMci, "", 728, 16, 48, 24, kNone, false, {}},
      {C::BUTTON2, "BUTTON2", K::kButton, "停止", 192, 232, 80, 24, kGothicP, true, kGrey},
      {C::BUTTON3, "BUTTON3", K::kButton, "開始位置の指定", 304, 232, 120, 24, kGothicP, true, kGrey},
      {C::LIST1, "LIST1", K::kList, "", 104, 296, 568, 148, kMincho9, true, kWhite},
      {C::TEXT3, "TEXT3", K::kLabel, "ファイル名", 104, 280, 128, 16, kGothicP, true, kGrey},
      {C::BUTTON4, "BUTTON4", K::kButton, "終了位置の決定", 432, 232, 120, 24, kGothicP, true, kGrey},
      {C::BUTTON5, "BUTTON5", K::kButton, "指定範囲の再生", 104, 456, 96, 24, kGothicP, true, kGrey},
      {C::BUTTON6, "BUTTON6", K::kButton, "Waveファイルの作成", 640, 456, 144, 24, kGothicP, true, kGrey},
      {C::BUTTON7, "BUTTON7", K::kButton, "ループ回数の指定", 208, 456, 112, 24, kGothicP, true, kGrey},
      {C::BUTTON8, "BUTTON8", K::kButton, "一行削除", 688, 296, 88, 24, kGothicP, true, kGrey},
      {C::BUTTON9, "BUTTON9", K::kButton, "↑", 688, 328, 88, 24, kGothicP, true, kGrey},
      {C::BUTTON10, "BUTTON10", K::kButton, "↓", 688, 360, 88, 24, kGothicP, true, kGrey},
      {C::BUTTON11, "BUTTON11", K::kButton, "ブランク挿入", 328, 456, 80, 24, kGothicP, true, kGrey},
      {C::BUTTON12, "BUTTON12", K::kButton, "コピー", 416, 456, 72, 24, kGothicP, true, kGrey},
      {C::BUTTON14, "BUTTON14", K::kButton, "ボイスレス", 496, 456, 72, 24, kGothicP, true, kGrey},
      {C::OVERVIEW, "OVERVIEW", K::kPicture, "", kOverviewLeft, kOverviewTop, kOverviewWidth,
       kOverviewHeight, kNone, false, {}, kRaisesDown | kRaisesMove | kRaisesUp},
  };
  return controls;
}

const ControlInfo& form3Button() {
  static const ControlInfo button{Control::BUTTON13, "BUTTON13", ControlKind::kButton, "確認",
                                  368, 256, 80, 24, kGothicP, true, kWhite};
  return button;
}

const ControlInfo& controlInfo(Control id) {
  if (id == Control::BUTTON13) return form3Button();
  for (const auto& c : mainFormControls()) {
    if (c.id == id) return c;
  }
  std::abort();  // MAINFORM and FORM3 are windows, not table entries
}

int canvasWidth(const ControlInfo& picture) { return picture.width - 2; }
int canvasHeight(const ControlInfo& picture) { return picture.height - 2; }

bool hasCanvas(Control id) {
  if (id == Control::MAINFORM) return true;
  if (id == Control::FORM3 || id == Control::BUTTON13) return false;
  return controlInfo(id).kind == ControlKind::kPicture;
}

int mouseEventsOf(Control id) {
  if (id == Control::MAINFORM) return kRaisesMove | kRaisesUp;
  return hasCanvas(id) ? controlInfo(id).mouse : 0;
}

namespace {

bool canUndo(const AppContext& ctx) { return ctx.history.canUndo(); }
bool canRedo(const AppContext& ctx) { return ctx.history.canRedo(); }
bool lineSelected(const AppContext& ctx) { return ctx.list.selected() >= 0; }
bool fileOpen(const AppContext& ctx) { return waveFileOpen(ctx); }

}  // namespace

const std::vector<MenuItemInfo>& menuItems() {
  using M = MenuItem;
  using K = CheckKind;
  // clang-format off
  static const std::vector<MenuItemInfo> items = {
      {M::OpenWaveFile, "OpenWaveFile", "FileMenu", "ファイル", "waveファイルを開く", 0x100, false, "Ctrl+O"},
      {M::OpenProject, "OpenProject", "FileMenu", "ファイル", "プロジェクトを開く", 0x101, true, "Ctrl+Shift+O"},
      {M::SaveProjectAgain, "SaveProjectAgain", "FileMenu", "ファイル", "上書き保存", 0x109, false, "Ctrl+S"},
      {M::SaveProject, "SaveProject", "FileMenu", "ファイル", "プロジェクトの保存", 0x102, false, "Ctrl+Shift+S"},
      {M::Undo, "Undo", "EditMenu", "編集", "元に戻す", 0x105, false, "Ctrl+Z", K::kNone, canUndo, true},
      {M::Redo, "Redo", "EditMenu", "編集", "やり直し", 0x106, false, "Ctrl+Y, Ctrl+Shift+Z", K::kNone, canRedo, true},
      {M::SmoothJoins, "SmoothJoins", "EditMenu", "編集", "つなぎ目を滑らかにする", 0x107, true, "", K::kToggle},
      {M::ListenJoin, "ListenJoin", "EditMenu", "編集", "つなぎ目を聴く", 0x108, false, "Ctrl+J", K::kNone, lineSelected},
      {M::LoudnessOff, "LoudnessOff", "EditMenu", "編集", "なし", 0x10A, false, "", K::kChoice, nullptr, false, kLoudnessMenu},
      {M::Loudness16, "Loudness16", "EditMenu", "編集", "−16 LUFS", 0x10B, false, "", K::kChoice, nullptr, false, kLoudnessMenu},
      {M::Loudness23, "Loudness23", "EditMenu", "編集", "−23 LUFS", 0x10C, false, "", K::kChoice, nullptr, false, kLoudnessMenu},
      {M::MarkStartHere, "MarkStartHere", "EditMenu", "編集", "再生位置を開始に", 0x125, true, "[", K::kNone, fileOpen},
      {M::MarkEndHere, "MarkEndHere", "EditMenu", "編集", "再生位置を終了に", 0x126, false, "]", K::kNone, fileOpen},
      {M::SplitAtPauses, "SplitAtPauses", "EditMenu", "編集", "無音で区切ってリストに追加", 0x127, false, "", K::kNone, fileOpen},
      {M::GrapgFast, "GrapgFast", "DispMenu", "表示", "グラフの高速表示を優先", 0x103, false, "", K::kToggle},
      {M::Overview, "Overview", "DispMenu", "表示", "全体表示", 0x120, false, "", K::kToggle},
      {M::GoToTime, "GoToTime", "DispMenu", "表示", "時間を指定して移動…", 0x121, true, "Ctrl+G", K::kNone, fileOpen},
      {M::NextPause, "NextPause", "DispMenu", "表示", "次の無音へ", 0x122, false, "Ctrl+Right", K::kNone, fileOpen, true},
      {M::PrevPause, "PrevPause", "DispMenu", "表示", "前の無音へ", 0x123, false, "Ctrl+Left", K::kNone, fileOpen, true},
      {M::PauseSettings, "PauseSettings", "DispMenu", "表示", "無音の設定…", 0x124, false},
      {M::Copyright, "Copyright", "HelpMenu", "ヘルプ", "著作権表示", 0x104, false},
  };
  // clang-format on
  return items;
}

const MenuItemInfo& menuItemInfo(MenuItem id) {
  for (const MenuItemInfo& m : menuItems()) {
    if (m.id == id) return m;
  }
  std::abort();  // every menu item has its row
}

}  // namespace pelisto
