#include "shell/write_project.h"

#include "model/messages.h"
#include "project/project_commands.h"
#include "shell/write_list.h"

namespace pelisto {

int writeProject(AppContext& ctx, const CommandLine& command) {
  openProjectAt(ctx, command.file);  // its refusals shown
  if (!waveFileOpen(ctx)) return kNotWrittenExitStatus;
  Result<WritePlan> plan = planWaveFile(ctx);
  if (!plan) {
    refuse(ctx, plan.status().message());
    return kNotWrittenExitStatus;
  }
  const OutputType type = outputTypeOfPath(command.output).value_or(OutputType::kWav);
  const WriteOutcome outcome = writeListTo(ctx, plan.value(), {command.output, type, command.loudness});
  if (!outcome.ok) {
    refuse(ctx, outcome.text);
    return kNotWrittenExitStatus;
  }
  if (!outcome.text.empty()) ctx.ui.notice(outcome.text);
  return kWrittenExitStatus;
}

}  // namespace pelisto
