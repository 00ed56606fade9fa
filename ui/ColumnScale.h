#pragma once
// List column widths are kept in the project file as the pixels they had under the Windows
// dialog face ("ＭＳ Ｐゴシック" 9 points at 96 dpi), whose digits are 6 pixels wide. The
// faces shipped here set the same texts wider, so a stored width is scaled by the ratio of the
// digit widths on the way to the screen and back on the way to the file: the files keep their
// meaning and a width nobody changed is stored again exactly as it was read.
#include <QFontMetrics>
#include <QString>

namespace quilvane {

class ColumnScale {
public:
    // The digit width of the Windows dialog face, in pixels.
    static constexpr double StoredDigitWidth = 6.0;

    explicit ColumnScale(const QFontMetrics& metrics);
    explicit ColumnScale(double factor) : factor_(factor) {}

    double Factor() const { return factor_; }
    // A stored width as pixels on this screen, and back (both rounded; 0 and below stay as they are).
    int ToScreen(int stored) const;
    int ToStored(int screen) const;

private:
    double factor_ = 1.0;
};

// `pattern` with every '0' replaced by the widest digit of `metrics`: a fixed-format number or
// time text at its widest (for example "0000/00/00  00:00:00" for a moment).
QString WidestDigits(const QString& pattern, const QFontMetrics& metrics);

} // namespace quilvane
