#pragma once

#include <QPointF>
#include <QVector>
#include <QWidget>

namespace corvane {

// MSChart1: the correction speed at each step as a line over the steps 0..255
// and the speeds -47..47, with both axes labelled. Drawn in the palette's
// colours when it is painted, so it follows night vision like every window.
class PecChart : public QWidget {
    Q_OBJECT
public:
    explicit PecChart(QWidget* parent = nullptr);

    void setPoints(const QVector<QPointF>& points);
    const QVector<QPointF>& points() const { return m_points; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<QPointF> m_points;
};

// chart ("PEC Data"): the correction speed the board makes at each of the
// 256 steps of the worm, from the last complete read-out. A window of its
// own beside the main window.
class PecChartWindow : public QWidget {
    Q_OBJECT
public:
    explicit PecChartWindow(QWidget* owner);

    void setPoints(const QVector<QPointF>& points) { MSChart1->setPoints(points); }

    PecChart* MSChart1 = nullptr;
};

} // namespace corvane
