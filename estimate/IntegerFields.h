#pragma once
// Integer edit fields of the estimate and results dialogs: reading them back checks that each
// holds a signed decimal integer, and stops at the first that does not, as the dialogs expect.
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class QLineEdit;
class QWidget;

namespace quilvane {

// Parses a signed decimal integer of 32 bits (blanks around it allowed).
bool ParseInteger(const QString& text, std::int32_t& value);

class IntegerFields {
public:
    void Bind(QLineEdit* edit, std::int32_t* value) { fields_.emplace_back(edit, value); }
    // Moves every edit's text into its value; on the first invalid one shows the message,
    // focuses that edit and returns false (values read before it are kept).
    bool Take(QWidget* owner);
    void Show();

private:
    std::vector<std::pair<QLineEdit*, std::int32_t*>> fields_;
};

} // namespace quilvane
