#pragma once

#include <QPointF>
#include <QVector>
#include <QWidget>

class QChartView;
class QLineSeries;

namespace corvane {

// chart ("PEC Data"): the correction speed the board makes at each of the
// 256 steps of the worm, from the last complete read-out. A window of its
// own beside the main window; it follows the night colours.
class PecChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit PecChartWindow(QWidget* owner);

    void setPoints(const QVector<QPointF>& points);
    QLineSeries* series() const { return m_series; }

    QChartView* MSChart1 = nullptr;

private:
    QLineSeries* m_series = nullptr;
};

} // namespace corvane
