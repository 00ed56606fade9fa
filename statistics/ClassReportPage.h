#pragma once
// The class report as one self-contained UTF-8 page: sortable tables and inline SVG charts, no
// outside resource. A Content-Security-Policy allows nothing but the page's own script and style,
// named by a nonce, so that nothing a student writes (a name, a comment) can become script even
// if an escape were ever missed.
#include <string>
#include <string_view>

#include "statistics/ClassReport.h"

namespace quilvane {

// `title` is UTF-8 (the registration folder as the teacher named it). `nonce` is the
// Content-Security-Policy nonce (base64); empty makes a fresh random one.
std::string ClassReportPage(const ClassReport& report, std::string_view title, std::string nonce = {});

} // namespace quilvane
