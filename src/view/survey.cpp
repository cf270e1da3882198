#include "view/survey.h"

#include <memory>

#include "model/forms.h"
#include "view/overview.h"
#include "view/pauses.h"
#include "view/wave_survey.h"

namespace pelisto {
namespace {

// A tick or the finish of the survey of the file still open.
void surveyWent(AppContext& ctx, const std::shared_ptr<WaveSurvey>& survey, bool finished) {
  if (ctx.state.survey != survey) return;
  if (finished) ctx.state.surveyJob = kNoJob;
  refreshPauses(ctx);
  showOverview(ctx);
}

}  // namespace

void startSurvey(AppContext& ctx) {
  endSurvey(ctx);
  // Without a window (a list written from the command line) nobody looks
  // at the pauses or the strip.
  if (!ctx.ui.isVisible(Control::MAINFORM)) return;
  AppState& s = ctx.state;
  auto survey = std::make_shared<WaveSurvey>(ctx.fs, ctx.files.path(s.WAVEFNUM), s.DATASIZE,
                                             canvasWidth(controlInfo(Control::OVERVIEW)));
  s.survey = survey;
  const JobId job = ctx.worker.start([survey] { return survey->step(); },
                                     [&ctx, survey] { surveyWent(ctx, survey, false); },
                                     [&ctx, survey] { surveyWent(ctx, survey, true); });
  if (ctx.worker.runs(job)) s.surveyJob = job;  // a worker may have finished it inside start
  refreshPauses(ctx);
  showOverview(ctx);
}

void endSurvey(AppContext& ctx) {
  AppState& s = ctx.state;
  ctx.worker.cancelJob(s.surveyJob);
  s.surveyJob = kNoJob;
  s.survey = nullptr;
  s.pauses.found.clear();
  s.pauses.complete = false;
  s.pauses.line = -1;
  ++s.pausesVersion;
  showOverview(ctx);
}

void refreshPauses(AppContext& ctx) {
  AppState& s = ctx.state;
  if (!s.survey) return;
  std::vector<Pause> found = findPauses(*s.survey, s.pauses.settings);
  s.pauses.complete = s.survey->blocksDone() == s.survey->blocks();
  if (found == s.pauses.found) return;
  s.pauses.found = std::move(found);
  ++s.pausesVersion;
}

}  // namespace pelisto
