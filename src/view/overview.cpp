#include "view/overview.h"

#include <algorithm>
#include <cmath>

#include "model/forms.h"
#include "model/messages.h"
#include "view/handlers.h"
#include "view/wave_survey.h"

namespace pelisto {
namespace {

constexpr int kLeftButton = 1;
constexpr int kTickHeight = 4;     // a pause's tick along the top edge
constexpr int kBarHeight = 3;      // an entry's bar along the bottom edge
constexpr int kViewBoxMinWidth = 3;

const WaveSurvey* shownSurvey(const AppContext& ctx) {
  return waveFileOpen(ctx) ? ctx.state.survey.get() : nullptr;
}

// The frames of the selected entry when it is of the open file.
void selectedRange(const AppContext& ctx, OverviewInputs& in) {
  const AppState& s = ctx.state;
  const int sel = ctx.list.selected();
  if (sel < 0 || sel >= static_cast<int>(s.EDITDATA.size()) || s.EDITFILE[sel][kSourcePath] != s.WAVEFILENAME) {
    return;
  }
  in.selStart = s.EDITDATA[sel][kStartFrame];
  in.selEnd = ctx.list.isPending(sel) ? in.selStart : s.EDITDATA[sel][kEndFrame];
}

OverviewInputs inputsNow(const AppContext& ctx) {
  const AppState& s = ctx.state;
  OverviewInputs in;
  const WaveSurvey* survey = shownSurvey(ctx);
  if (!survey) return in;
  in.survey = survey;
  in.columns = survey->columnsDone();
  in.second = ctx.ui.scrollPos();
  selectedRange(ctx, in);
  in.listRevision = s.listRevision;
  in.lines = ctx.list.lineCount();
  in.count = s.EDITCOUNT;
  in.pauses = s.pauses.found.size();
  in.pausesVersion = s.pausesVersion;
  if (openFilePlays(s) && s.session.heardMs >= 0) {
    in.cursor = survey->columnOf(static_cast<uint64_t>(s.session.heardMs) * kFramesPerSecond / 1000);
  }
  return in;
}

// The columns of frames first … last (last at least first).
std::pair<int, int> columnsOf(const WaveSurvey& survey, int64_t first, int64_t last) {
  if (last < first) std::swap(first, last);
  first = std::max<int64_t>(first, 0);
  last = std::max(last, first);
  return {survey.columnOf(static_cast<uint64_t>(first)), survey.columnOf(static_cast<uint64_t>(last))};
}

void drawStrip(AppContext& ctx, const OverviewInputs& in) {
  const AppState& s = ctx.state;
  Canvas& c = ctx.ui.canvas(Control::OVERVIEW);
  const int w = c.width(), h = c.height(), mid = (h - 1) / 2;
  const DrawMode mode = c.mode();
  c.setMode(DrawMode::kCopy);
  c.setPalette(kStripShadeEntry, kStripShade);
  c.fillBox(0, 0, w - 1, h - 1, kPictureBackEntry);
  const WaveSurvey* survey = static_cast<const WaveSurvey*>(in.survey);
  if (survey) {
    if (in.selStart >= 0) {
      const auto [x0, x1] = columnsOf(*survey, in.selStart, std::max(in.selStart, in.selEnd - 1));
      c.fillBox(x0, 0, x1, h - 1, kStripShadeEntry);
    }
  }
  c.line(0, mid, w - 1, mid, kZeroLineEntry);
  if (survey) {
    auto rowOf = [mid](int v) { return mid - static_cast<int>(std::lround(v * double(mid) / 32768.0)); };
    // The lowest and highest sample of each column, and within them its RMS
    // level, which tells loud stretches from quiet ones where the peaks
    // of a long file all reach as high.
    for (int x = 0; x < in.columns; ++x) {
      const Envelope& e = survey->column(x);
      if (e.empty()) continue;
      c.line(x, rowOf(e.high), x, rowOf(e.low), kWaveEntry);
      const int rms = static_cast<int>(std::lround(e.rms()));
      if (rms > 0) c.line(x, rowOf(rms), x, rowOf(-rms), kStripLoudnessEntry);
    }
    const int64_t first = int64_t(in.second) * kFramesPerSecond;
    auto [x0, x1] = columnsOf(*survey, first, std::min<int64_t>(first + kFramesPerSecond, survey->frames()) - 1);
    if (x1 - x0 + 1 < kViewBoxMinWidth) {
      x0 = std::clamp((x0 + x1) / 2 - kViewBoxMinWidth / 2, 0, w - kViewBoxMinWidth);
      x1 = x0 + kViewBoxMinWidth - 1;
    }
    c.line(x0, 0, x1, 0, kStripViewEntry);
    c.line(x1, 0, x1, h - 1, kStripViewEntry);
    c.line(x1, h - 1, x0, h - 1, kStripViewEntry);
    c.line(x0, h - 1, x0, 0, kStripViewEntry);
    // The list's entries and the pauses over it.
    for (int k = 0; k < in.lines && k < static_cast<int>(s.EDITDATA.size()); ++k) {
      if (s.EDITFILE[k][kSourcePath] != s.WAVEFILENAME) continue;
      const int64_t start = s.EDITDATA[k][kStartFrame];
      const int64_t end = ctx.list.isPending(k) ? start : s.EDITDATA[k][kEndFrame];
      const auto [x0, x1] = columnsOf(*survey, start, std::max(start, end - 1));
      c.fillBox(x0, h - kBarHeight, x1, h - 1, kStripEntryEntry);
    }
    for (const Pause& p : s.pauses.found) {
      const int x = survey->columnOf(static_cast<uint64_t>(p.middle()));
      c.line(x, 0, x, kTickHeight - 1, kPauseEntry);
    }
    if (in.cursor >= 0) c.line(in.cursor, 0, in.cursor, h - 1, kStripCursorEntry);
  }
  c.setMode(mode);
}

// The view to the second under column x of the strip, as the scroll bar
// moves it: nothing happens when it shows that second already.
void moveViewTo(AppContext& ctx, double x) {
  const int w = ctx.ui.canvas(Control::OVERVIEW).width();
  const uint64_t frames = ctx.state.DATASIZE / kFrameSize;
  const double column = std::floor(std::clamp(x, 0.0, w - 1.0));
  const auto frame = static_cast<uint64_t>((column + 0.5) * static_cast<double>(frames) / w);
  const int second = std::clamp(static_cast<int>(frame / kFramesPerSecond), ctx.ui.scrollMin(), ctx.ui.scrollMax());
  if (second == ctx.ui.scrollPos()) return;
  ctx.ui.setScrollPos(second);
  HSCROLL1_CHANGE(ctx);
}

}  // namespace

void showOverview(AppContext& ctx) {
  OverviewState& o = ctx.state.overview;
  if (!o.shown) return;
  const OverviewInputs in = inputsNow(ctx);
  if (o.drawnOnce && in == o.drawn) return;
  drawStrip(ctx, in);
  o.drawn = in;
  o.drawnOnce = true;
}

void setOverviewShown(AppContext& ctx, bool shown) {
  OverviewState& o = ctx.state.overview;
  o.shown = shown;
  o.drawnOnce = false;
  o.dragging = false;
  if (shown) {
    ctx.ui.show(Control::OVERVIEW);
  } else {
    ctx.ui.hide(Control::OVERVIEW);
  }
  ctx.ui.setFormHeight(shown ? kMainClientHeightWithOverview : kMainClientHeight);
  ctx.ui.setChecked(MenuItem::Overview, shown);
  showOverview(ctx);
}

void OVERVIEW_ON(AppContext& ctx) {
  const bool shown = !ctx.state.overview.shown;
  setOverviewShown(ctx, shown);
  ctx.ui.rememberChoice(kOverviewHiddenChoice, !shown);
}

void OVERVIEW_MOUSEDOWN(AppContext& ctx, int button, double x, double) {
  if (!waveFileOpen(ctx)) return refuse(ctx, kMsgNoWaveFile);
  if (button != kLeftButton) return;
  ctx.state.overview.dragging = true;
  moveViewTo(ctx, x);
}

void OVERVIEW_MOUSEMOVE(AppContext& ctx, int button, double x, double) {
  if (!ctx.state.overview.dragging || !(button & kLeftButton) || !waveFileOpen(ctx)) return;
  moveViewTo(ctx, x);
}

void OVERVIEW_MOUSEUP(AppContext& ctx, int, double, double) { ctx.state.overview.dragging = false; }

}  // namespace pelisto
