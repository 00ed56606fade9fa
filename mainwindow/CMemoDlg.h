#pragma once
// The project's memo: one multi-line text. The dialog edits a copy; the caller stores it on OK.
#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace quilvane {

class CMemoDlg : public QDialog {
    Q_OBJECT
public:
    CMemoDlg(const std::string& memo, QWidget* parent = nullptr);
    // The edited text, CP932 with CR LF line ends (the stored bytes when left unchanged).
    std::string Memo() const;
    QPlainTextEdit* Edit() const { return edit_; }

private:
    std::string memo_;
    QPlainTextEdit* edit_;
};

} // namespace quilvane
