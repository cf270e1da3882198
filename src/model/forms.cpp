#include "model/forms.h"

#include <cstdlib>

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
      {C::PICTURE1, "PICTURE1", K::kPicture, "", 104, 72, 600, 128, kGothicP14, false, {}},
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

const std::vector<MenuItemInfo>& menuItems() {
  using M = MenuItem;
  static const std::vector<MenuItemInfo> items = {
      {M::OpenWaveFile, "OpenWaveFile", "FileMenu", "ファイル", "waveファイルを開く", 0x100, false},
      {M::OpenProject, "OpenProject", "FileMenu", "ファイル", "プロジェクトを開く", 0x101, true},
      {M::SaveProjectAgain, "SaveProjectAgain", "FileMenu", "ファイル", "上書き保存", 0x109, false},
      {M::SaveProject, "SaveProject", "FileMenu", "ファイル", "プロジェクトの保存", 0x102, false},
      {M::Undo, "Undo", "EditMenu", "編集", "元に戻す", 0x105, false},
      {M::Redo, "Redo", "EditMenu", "編集", "やり直し", 0x106, false},
      {M::SmoothJoins, "SmoothJoins", "EditMenu", "編集", "つなぎ目を滑らかにする", 0x107, true},
      {M::ListenJoin, "ListenJoin", "EditMenu", "編集", "つなぎ目を聴く", 0x108, false},
      {M::LoudnessOff, "LoudnessOff", "EditMenu", "編集", "なし", 0x10A, false, kLoudnessMenu},
      {M::Loudness16, "Loudness16", "EditMenu", "編集", "−16 LUFS", 0x10B, false, kLoudnessMenu},
      {M::Loudness23, "Loudness23", "EditMenu", "編集", "−23 LUFS", 0x10C, false, kLoudnessMenu},
      {M::GrapgFast, "GrapgFast", "DispMenu", "表示", "グラフの高速表示を優先", 0x103, false},
      {M::Copyright, "Copyright", "HelpMenu", "ヘルプ", "著作権表示", 0x104, false},
  };
  return items;
}

}  // namespace pelisto
