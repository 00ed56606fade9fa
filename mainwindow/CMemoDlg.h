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
    // The edited text, CP932 with CR LF line ends.
    std::string Memo() const;
    QPlainTextEdit* Edit() const { return edit_; }

private:
    QPlainTextEdit* edit_;
};

// Conversions between the stored CR LF text and the editor's LF text.
QString MemoToEditor(const std::string& memo);
std::string MemoFromEditor(const QString& text);

} // namespace quilvane
