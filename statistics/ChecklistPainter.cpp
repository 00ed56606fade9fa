#include "statistics/ChecklistPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "ui/QtText.h"

namespace quilvane {
namespace {

struct Line {
    QString text;
    int indent = 0;   // 0: heading, 1: item, 2: reminder
    bool box = false; // an item line starts with its box
    bool ticked = false;
    bool bold = false;
};

std::vector<Line> LinesOf(const ReviewChecklist& list, const std::vector<ChecklistTick>& ticks,
                          const std::string& projectName)
{
    std::vector<Line> lines;
    lines.push_back({QStringLiteral("レビューチェックリスト: %1").arg(ToQ(ReviewPhaseName(list.kind))), 0,
                     false, false, true});
    QString source = QStringLiteral("%1  (%2 件の欠陥、%3 プロジェクトから)")
                         .arg(ToQ(projectName))
                         .arg(list.defects)
                         .arg(list.projects);
    lines.push_back({source, 0});
    if (list.starter) {
        // The note is a few sentences; one to a line keeps it inside the page's width.
        for (const QString& sentence :
             QString::fromUtf8(StarterNote()).split(QStringLiteral("。"), Qt::SkipEmptyParts)) {
            lines.push_back({sentence + QStringLiteral("。"), 0});
        }
    }
    lines.push_back({QString(), 0});
    int number = 0;
    for (const ChecklistItem& item : list.items) {
        const ChecklistTick* tick = FindTick(ticks, list.kind, item.key);
        QString text = QStringLiteral("%1. %2").arg(++number).arg(ToQ(item.title));
        if (tick != nullptr) {
            text += QStringLiteral("   (%1)").arg(ToQ(tick->time));
        }
        lines.push_back({text, 1, true, tick != nullptr, true});
        lines.push_back({ChecklistFigures(item), 2});
        for (const std::string& comment : item.comments) {
            // A reminder is one line on paper; its later lines follow after a slash.
            lines.push_back(
                {QStringLiteral("「%1」").arg(ToQLines(comment).replace(QLatin1Char('\n'), " / ")), 2});
        }
    }
    return lines;
}

} // namespace

QString ChecklistFigures(const ChecklistItem& item)
{
    if (item.count == 0) {
        return ToQ(item.hint);
    }
    QString text = QStringLiteral("%1 件 (%2%)").arg(item.count).arg(item.share, 0, 'f', 1);
    if (item.averageFixMinutes) {
        text += QStringLiteral("  平均修正 %1 分").arg(*item.averageFixMinutes, 0, 'f', 1);
    } else {
        text += QStringLiteral("  修正時間の記録なし");
    }
    return text;
}

double PaintChecklist(QPainter& painter, const QRect& page, const ReviewChecklist& list,
                      const std::vector<ChecklistTick>& ticks, const std::string& projectName)
{
    const std::vector<Line> lines = LinesOf(list, ticks, projectName);
    // The normal size: 9 point text on the device, whatever its resolution.
    QFont font = painter.font();
    const double dpi = painter.device() ? painter.device()->logicalDpiY() : 96.0;
    const double pixelSize = 9.0 * dpi / 72.0;
    font.setPixelSize(std::max(1, static_cast<int>(pixelSize)));
    QFontMetricsF metrics(font);
    const double lineHeight = metrics.height() * 1.25;
    const double indentStep = metrics.horizontalAdvance(QStringLiteral("あ")) * 2;
    double widest = 0;
    for (const Line& line : lines) {
        widest = std::max(widest, indentStep * line.indent + metrics.horizontalAdvance(line.text));
    }
    const double height = lineHeight * static_cast<double>(lines.size());
    double scale = 1.0;
    if (height > page.height() || widest > page.width()) {
        scale = std::min(page.height() / height, page.width() / std::max(widest, 1.0));
    }
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    double y = 0;
    for (const Line& line : lines) {
        QFont lineFont = font;
        lineFont.setBold(line.bold);
        painter.setFont(lineFont);
        double x = indentStep * line.indent;
        if (line.box) {
            const double side = metrics.ascent() * 0.8;
            QRectF box(x - side * 1.6, y + (lineHeight - side) / 2, side, side);
            painter.drawRect(box);
            if (line.ticked) {
                painter.drawLine(box.topLeft() + QPointF(side * 0.15, side * 0.5),
                                 box.topLeft() + QPointF(side * 0.4, side * 0.85));
                painter.drawLine(box.topLeft() + QPointF(side * 0.4, side * 0.85),
                                 box.topLeft() + QPointF(side * 0.9, side * 0.1));
            }
        }
        painter.drawText(QRectF(x, y, 1e6, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line.text);
        y += lineHeight;
    }
    painter.restore();
    return scale;
}

} // namespace quilvane
