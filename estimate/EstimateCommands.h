#pragma once
// The form's estimate and results commands: each runs its dialog on a copy and takes the copy
// over on OK.
namespace quilvane {

class CommandContext;
class CEstimateDlg;

void OnEstimate(CommandContext& context);
void OnResult(CommandContext& context);
void InstallEstimateCommands(CommandContext& context);

} // namespace quilvane
