#include "pec/ui/PecChartWindow.h"

#include "pec/PecTable.h"
#include "pec/ui/ChartColours.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

namespace corvane {

PecChartWindow::PecChartWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("chart"));
    setWindowTitle(QStringLiteral("PEC Data"));
    auto* chart = new QChart;
    chart->legend()->hide();
    m_series = new QLineSeries(chart);
    m_series->setName(QStringLiteral("IsSpeed"));
    chart->addSeries(m_series);
    auto* steps = new QValueAxis(chart);
    steps->setTitleText(QStringLiteral("Step"));
    steps->setRange(0, kPecSteps - 1);
    steps->setLabelFormat(QStringLiteral("%d"));
    steps->setTickCount(9);
    auto* speed = new QValueAxis(chart);
    speed->setTitleText(QStringLiteral("IsSpeed"));
    speed->setRange(-kPecSpeedLimit, kPecSpeedLimit);
    speed->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(steps, Qt::AlignBottom);
    chart->addAxis(speed, Qt::AlignLeft);
    m_series->attachAxis(steps);
    m_series->attachAxis(speed);

    MSChart1 = new QChartView(chart, this);
    MSChart1->setObjectName(QStringLiteral("MSChart1"));
    MSChart1->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MSChart1);
    followPalette(MSChart1);
    resize(640, 400);
}

void PecChartWindow::setPoints(const QVector<QPointF>& points) {
    m_series->replace(QList<QPointF>(points.cbegin(), points.cend()));
}

} // namespace corvane
