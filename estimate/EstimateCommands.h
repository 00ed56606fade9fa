#pragma once
// The form's estimate and results commands: each runs its dialog on a copy and takes the copy
// over on OK.
namespace quilvane {

class CQuilvaneDoc;
class CQuilvaneView;
class CEstimateDlg;

void OnEstimate(CQuilvaneDoc& doc, CQuilvaneView& view);
void OnResult(CQuilvaneDoc& doc, CQuilvaneView& view);
void InstallEstimateCommands(CQuilvaneDoc& doc, CQuilvaneView& view);

} // namespace quilvane
