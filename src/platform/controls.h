// The names of the program's windows, controls and menu commands, as the
// user-interface operations take them. Their captions, geometry and fonts
// are in model/forms.h.
#pragma once

namespace pelisto {

enum class Control {
  MAINFORM,
  PICTURE1, TEXT1, HSCROLL1, TEXT2, EDIT1, EDIT2, BUTTON1, MCI1, BUTTON2, BUTTON3,
  LIST1, TEXT3, BUTTON4, BUTTON5, BUTTON6, BUTTON7, BUTTON8, BUTTON9, BUTTON10,
  BUTTON11, BUTTON12, BUTTON14,
  FORM3, BUTTON13,
};

// GrapgFast (表示 → グラフの高速表示を優先) is spelled as the scenario
// scripts and the menu's object names have always spelled it, on purpose.
enum class MenuItem {
  OpenWaveFile, OpenProject, SaveProject, GrapgFast, Copyright,
  Undo, Redo, SmoothJoins, ListenJoin, SaveProjectAgain,
  LoudnessOff, Loudness16, Loudness23,
};

}  // namespace pelisto
