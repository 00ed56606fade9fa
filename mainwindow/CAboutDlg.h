#pragma once
// The about box: version line, a line about the course, and a link to the workspace's guide.
#include <QDialog>

class QLabel;

namespace quilvane {

class CHyperlinkLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* VersionLine() const { return version_; }
    CHyperlinkLabel* Link() const { return link_; }

    // "Quilvane.NET Version 1.03"
    static QString VersionText();
    // The guide page of the workspace as a file address.
    static QString GuideAddress();

private:
    QLabel* version_;
    CHyperlinkLabel* link_;
};

} // namespace quilvane
