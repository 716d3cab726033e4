#include "pec/ui/ChartColours.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QLegend>

namespace corvane {

namespace {

class PaletteFollower : public QObject {
public:
    explicit PaletteFollower(QChartView* view) : QObject(view), m_view(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_view && event->type() == QEvent::PaletteChange)
            paintChartWithPalette(m_view->chart(), m_view->palette());
        return false;
    }

private:
    QChartView* m_view;
};

} // namespace

void paintChartWithPalette(QChart* chart, const QPalette& palette) {
    if (!chart)
        return;
    const QColor background = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    const QColor grid = palette.color(QPalette::Mid);
    chart->setBackgroundBrush(background);
    chart->setPlotAreaBackgroundBrush(palette.color(QPalette::Base));
    chart->setPlotAreaBackgroundVisible(true);
    chart->setTitleBrush(text);
    chart->legend()->setLabelColor(text);
    const auto axes = chart->axes();
    for (QAbstractAxis* axis : axes) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setLinePenColor(text);
        axis->setGridLineColor(grid);
    }
}

void followPalette(QChartView* view) {
    view->installEventFilter(new PaletteFollower(view));
    paintChartWithPalette(view->chart(), view->palette());
}

} // namespace corvane
