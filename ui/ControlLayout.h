#pragma once
// Keeps chosen controls of a resizable dialog anchored to its right and bottom edges: a control
// stays put, moves along with the edge, or stretches with it.
#include <map>
#include <optional>
#include <string>

class QWidget;

namespace quilvane {

class ControlLayout {
public:
    enum Mode { Keep = 0, Move = 1, Stretch = 2 };

    // Adds `control`, or replaces only its modes when it is registered already.
    void Register(QWidget* control, int horizontal, int vertical);
    // Records each control's distance to its parent's right and bottom edges; call once after
    // registering, while the dialog still has its designed size.
    void RecordMargins();
    // Moves every control so that its anchored edges keep their recorded distances. Call from the
    // resize handler unless the dialog is minimized.
    void Relayout();
    // The resize handler's part: relayout unless `dialog` is minimized.
    void OnSize(QWidget* dialog);

    std::size_t Size() const { return anchors_.size(); }

private:
    struct Anchor {
        int horizontal = Keep;
        int vertical = Keep;
        int rightMargin = -1;
        int bottomMargin = -1;
    };
    std::map<QWidget*, Anchor> anchors_;
};

// Shows the folder chooser with `title` (or "Select Folder" when null), preselecting `start`
// (stored CP932 text). The chosen folder as stored text, or nothing when the user chose none (a
// folder CP932 cannot hold is refused with a message).
[[nodiscard]] std::optional<std::string> ChooseFolder(QWidget* owner, const char* title,
                                                      const std::string& start);

} // namespace quilvane
