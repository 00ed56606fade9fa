#pragma once
// Shows the exercises' problem pages, which are HTML in code page 932 with relative links and
// images, and decodes every local page it follows the same way.
#include <QTextBrowser>

namespace quilvane {

class ProblemPageBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ProblemPageBrowser(QWidget* parent = nullptr);

    // Shows the page at `address` (a file address); a missing page shows a short notice.
    void Navigate(const QString& address);

    QVariant loadResource(int type, const QUrl& name) override;
};

} // namespace quilvane
