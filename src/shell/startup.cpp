// Start-up and close of the main window.
#include "shell/startup.h"

#include <cstdint>
#include <utility>

#include "model/forms.h"
#include "platform/program_files.h"
#include "platform/replace_file.h"
#include "playback/handlers.h"
#include "playback/play_file.h"
#include "project/project_commands.h"
#include "project/recovery_copy.h"
#include "project/recovery_offer.h"
#include "shell/events.h"
#include "shell/handlers.h"
#include "shell/keys.h"
#include "shell/version.h"
#include "view/graph_cache.h"
#include "view/graph_points.h"
#include "view/handlers.h"
#include "view/overview.h"
#include "view/survey.h"
#include "wave/handlers.h"
#include "wave/loudness.h"
#include "wave/loudness_ahead.h"
#include "wave/output_type.h"

namespace pelisto {
namespace {

constexpr int kStartupFontHeight = 13;
constexpr int kListFontHeight = 12;
const FontSpec kScaleFont{"ＭＳ ゴシック", 16, 1};

void changeFont(AppContext& ctx, Control c) {
  FontSpec f = ctx.ui.font(c);
  f.heightPx = c == Control::LIST1 ? kListFontHeight : kStartupFontHeight;
  ctx.ui.setFont(c, f);
}

// Hides a label and draws its caption on the main window in its place.
void redrawLabel(AppContext& ctx, Control c, Rgb face, Rgb text) {
  const ControlInfo& info = controlInfo(c);
  ctx.ui.hide(c);
  Canvas& form = ctx.ui.canvas(Control::MAINFORM);
  form.fillBox(info.left, info.top, info.left + info.width, info.top + info.height, face);
  form.drawText(info.left, info.top, info.caption, ctx.ui.font(c), text);
}

// The window's face: the client area in the button face colour, the
// start-up fonts on the controls, and the three labels drawn on the form
// in their place.
void paintFace(AppContext& ctx, Rgb face) {
  const Rgb text = ctx.ui.systemColor(SystemColor::kButtonText);
  Canvas& form = ctx.ui.canvas(Control::MAINFORM);
  form.fillBox(0, 0, form.width(), form.height(), face);
  changeFont(ctx, Control::TEXT1);
  redrawLabel(ctx, Control::TEXT1, face, text);
  changeFont(ctx, Control::TEXT2);
  redrawLabel(ctx, Control::TEXT2, face, text);
  for (Control c : {Control::EDIT1, Control::EDIT2, Control::BUTTON1, Control::BUTTON2,
                    Control::BUTTON3, Control::LIST1}) {
    changeFont(ctx, c);
  }
  changeFont(ctx, Control::TEXT3);
  redrawLabel(ctx, Control::TEXT3, face, text);
  for (Control c : {Control::BUTTON4, Control::BUTTON5, Control::BUTTON6, Control::BUTTON7,
                    Control::BUTTON8, Control::BUTTON9, Control::BUTTON10, Control::BUTTON11,
                    Control::BUTTON12, Control::BUTTON14}) {
    changeFont(ctx, c);
  }
}

// The amplitude scale left of the picture: ticks at the top, the zero line
// and the bottom, each with its value centred on it and ending near the
// picture.
void drawScale(Canvas& form) {
  constexpr int kTickLength = 16;
  struct Tick {
    int row;  // below the picture's top, its border included
    const char* text;
    int textLeft;  // left of the picture
  };
  const Tick ticks[] = {
      {0, "32767", 64}, {1 + kZeroRow, "0", 32}, {1 + kPictureClientHeight, "-32768", 72}};
  const ControlInfo& pic = controlInfo(Control::PICTURE1);
  const int L = pic.left, T = pic.top;
  for (const Tick& t : ticks) form.line(L - kTickLength, T + t.row, L, T + t.row, kScaleEntry);
  const Rgb color = form.palette(kScaleEntry);
  for (const Tick& t : ticks) {
    form.drawText(L - t.textLeft, T + t.row - kScaleFont.heightPx / 2, t.text, kScaleFont, color);
  }
}

}  // namespace

void MAINFORM_START(AppContext& ctx) {
  Ui& ui = ctx.ui;
  Canvas& form = ui.canvas(Control::MAINFORM);
  const Rgb face = ui.systemColor(SystemColor::kButtonFace);
  paintFace(ctx, face);
  form.setPalette(kFaceEntry, face);
  // The two lines across the top of the window (clipped to the client area).
  form.line(0, 0, kMainOuterWidth, 0, kTopRuleDarkEntry);
  form.line(0, 1, kMainOuterWidth, 1, kTopRuleLightEntry);
  // The caption of every message box.
  ctx.state.APPTITLE = std::string("Pelisto V") + kVersion;
  drawScale(form);
  // The centre line of the empty picture.
  drawZeroLine(ui.canvas(Control::PICTURE1));
  // The edit list starts empty.
  ctx.list.setFinishedCount(0);
  // Caches of copies that were killed are of no use to anyone, nor are the
  // temporary files of their saves; a program of another process
  // namespace with this one's number keeps its cache's name.
  avoidHeldNames(ctx.fs, ctx.own, {{kGraphFileStem, kGraphFileExtension}});
  removeStaleGraphCaches(ctx);
  removeLeftSaves(ctx.fs);
  loadSmoothJoins(ctx);
  // The loudness of written files, and the type they were last written in,
  // as last left (none and WAV at the first start).
  chooseLoudness(ctx, loudnessTargetNamed(ui.rememberedName(kLoudnessChoice)).value_or(LoudnessTarget::kOff));
  ctx.state.writeType = ui.rememberedName(kWriteTypeChoice);
  loadPauseSettings(ctx);
  layOutWindow(ctx);
}

void layOutWindow(AppContext& ctx) {
  // The strip of the whole file as the user last left it (on at first).
  setOverviewShown(ctx, !ctx.ui.rememberedChoice(kOverviewHiddenChoice));
}

bool MAINFORM_QUERYCLOSE(AppContext& ctx) {
  // An edit list changed since it was loaded or saved is not lost to a slip.
  if (!listMayGo(ctx)) return false;
  cancelGraphBuild(ctx);  // no thread outlives the window, no unfinished cache stays
  endSurvey(ctx);
  endLoudnessAhead(ctx);
  if (ctx.state.PLAYFLAG != kPlayIdle) {
    sendMci(ctx, "STOP WAVEOBJ");
    sendMci(ctx, "CLOSE WAVEOBJ");
  }
  endJoinListen(ctx);
  return true;
}

void startProgram(AppContext& ctx, const std::string& file, std::optional<RecoverySetUp> recovery) {
  if (recovery) enableRecoveryCopy(ctx, std::move(recovery->files), recovery->writer, std::move(recovery->clockMs));
  MAINFORM_START(ctx);
  showCommandStates(ctx);
  offerRecoveredLists(ctx);
  if (file.empty()) return;
  // A project replacing a list just restored asks first, as every load of
  // a project does.
  dispatchEvent(ctx, Event::openPath(file));
}

void shutdownProgram(AppContext& ctx) {
  removeGraphCache(ctx);
  endRecoveryCopy(ctx);
}
}  // namespace pelisto
