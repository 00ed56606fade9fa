#pragma once
// The form's overview command: the full overview on a copy of the project's fields, taken over
// on OK together with the new phase table.
namespace quilvane {

class CommandContext;

void OnOverview(CommandContext& context);
void InstallOverviewCommands(CommandContext& context);

} // namespace quilvane
