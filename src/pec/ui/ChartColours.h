#pragma once

#include <QPalette>

class QChart;
class QChartView;

namespace corvane {

// Charts draw with a theme of their own, not with the palette. These lay the
// palette's colours onto a chart, so a chart window follows night vision like
// every other window of the program.
void paintChartWithPalette(QChart* chart, const QPalette& palette);

// Paints the view's chart in the view's palette now and again whenever that
// palette changes (as it does when night vision is switched).
void followPalette(QChartView* view);

} // namespace corvane
