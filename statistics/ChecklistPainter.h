#pragma once
// The review checklist on one printed page: a heading, the starter note when there is one, and
// each item with a box (ticked or not), its figures and its reminders. When the items do not fit
// the page at the normal size, the whole page is drawn smaller, so it always stays one page.
#include <QRect>
#include <QString>
#include <vector>

#include "statistics/ChecklistTicks.h"
#include "statistics/ReviewChecklist.h"

class QPainter;

namespace quilvane {

// Draws the checklist into `page` (device coordinates of `painter`). `projectName` is CP932.
// Returns the scale the page was drawn at (1 when everything fit at the normal size).
double PaintChecklist(QPainter& painter, const QRect& page, const ReviewChecklist& list,
                      const std::vector<ChecklistTick>& ticks, const std::string& projectName);

// The figures of an item as one line, "3 件 (50.0%)  平均修正 12.5 分" (UTF-8 in a QString);
// a starter item shows its hint instead.
QString ChecklistFigures(const ChecklistItem& item);

} // namespace quilvane
