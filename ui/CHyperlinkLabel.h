#pragma once
// A text label that works as a link: underlined, in the link colour, another colour while the
// mouse is over it, a tooltip with the target, and a click that opens the target.
#include <QColor>
#include <QLabel>
#include <functional>

namespace quilvane {

class CHyperlinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit CHyperlinkLabel(const QString& text, QWidget* parent = nullptr,
                             const QString& target = QString());

    const QString& Target() const { return target_; }
    bool IsHovering() const { return hover_; }
    QColor CurrentColour() const { return hover_ ? hoverColour_ : normalColour_; }

    // How the target is opened; the desktop's handler unless a test replaces it.
    void SetOpener(std::function<bool(const QString&)> opener) { opener_ = std::move(opener); }
    bool OpenLink();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyColour();

    bool hover_ = false;
    QColor normalColour_{0, 0, 0xE0};
    QColor hoverColour_;
    QString target_;
    std::function<bool(const QString&)> opener_;
};

} // namespace quilvane
