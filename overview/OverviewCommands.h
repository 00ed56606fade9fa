#pragma once
// The form's overview command: the full overview on a copy of the project's fields, taken over
// on OK together with the new phase table.
namespace quilvane {

class CQuilvaneDoc;
class CQuilvaneView;

void OnOverview(CQuilvaneDoc& doc, CQuilvaneView& view);
void InstallOverviewCommands(CQuilvaneDoc& doc, CQuilvaneView& view);

} // namespace quilvane
