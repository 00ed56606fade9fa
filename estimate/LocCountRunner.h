#pragma once
// Runs the LOC counter from a dialog: a wait cursor throughout, and a progress dialog that can
// cancel the count when there are many files. Folder names are relative to the program folder.
#include <optional>
#include <string>

#include "estimate/LocCounter.h"

class QLabel;
class QWidget;

namespace quilvane {

// The number of file pairs from which a count shows its progress.
inline constexpr std::size_t ProgressFromFiles = 300;

// The counts, or nullopt when the user cancelled or the count failed, which has then been
// reported (the caller keeps its old values either way). After a count, `unreadableNote` (see
// MakeUnreadableNote) tells how many files could not be read, or hides when all could.
std::optional<LocCounts> CountLocInteractively(QWidget* parent, const std::string& baseName,
                                               const std::string& currentName,
                                               QLabel* unreadableNote = nullptr);

// The note a dialog puts under its counts, hidden until a count leaves files out.
QLabel* MakeUnreadableNote(QWidget* parent);

} // namespace quilvane
