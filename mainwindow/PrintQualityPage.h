#pragma once
// The optional last printed page: the project's quality and estimating measures with how each is
// computed, and its phases' minutes, defects and rates, as the 品質 view shows them.
class QPainter;

namespace quilvane {

struct ProjectRecord;

// Draws onto the logical page (2840 x 4070) below the header; the painter's scale is set.
void PaintQualityPage(QPainter& painter, const ProjectRecord& project);

} // namespace quilvane
