#include "pec/ui/PecChartWindow.h"

#include "pec/PecTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace corvane {

namespace {
constexpr int kStepTicks = 8;  // a tick every 32 steps, 0..256
constexpr int kSpeedTick = 20; // ticks at -40, -20, 0, 20, 40
constexpr int kMargin = 12;
} // namespace

PecChart::PecChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MSChart1"));
    setMinimumSize(320, 200);
}

void PecChart::setPoints(const QVector<QPointF>& points) {
    m_points = points;
    update();
}

void PecChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    const QFontMetrics fm = fontMetrics();
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("-40")) + 6;
    // The plot area, leaving room for the labels and the two axis titles.
    // Half of the last step's number stands out to the right of the plot.
    const int rightRoom = fm.horizontalAdvance(QStringLiteral("255")) / 2;
    const QRectF area(kMargin + fm.height() + labelWidth, kMargin,
                      width() - 2 * kMargin - fm.height() - labelWidth - rightRoom,
                      height() - 2 * kMargin - 2 * fm.height() - 4);
    if (area.width() < 10 || area.height() < 10)
        return;
    p.fillRect(area, pal.color(QPalette::Base));
    const double lastStep = kPecSteps - 1;
    const auto at = [&](double step, double speed) {
        return QPointF(area.left() + area.width() * step / lastStep,
                       area.center().y() - area.height() / 2 * speed / kPecSpeedLimit);
    };
    // Grid, ticks and labels.
    p.setPen(QPen(pal.color(QPalette::Mid), 0));
    for (int i = 0; i <= kStepTicks; ++i) {
        const double step = qMin(lastStep, i * 32.0);
        const QPointF bottom = at(step, -kPecSpeedLimit);
        p.drawLine(at(step, kPecSpeedLimit), bottom);
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(QRectF(bottom.x() - 20, bottom.y() + 2, 40, fm.height()), Qt::AlignCenter,
                   QString::number(int(step)));
        p.setPen(QPen(pal.color(QPalette::Mid), 0));
    }
    for (int speed = -40; speed <= 40; speed += kSpeedTick) {
        const QPointF left = at(0, speed);
        p.drawLine(left, at(lastStep, speed));
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(QRectF(left.x() - labelWidth, left.y() - fm.height() / 2.0, labelWidth - 4,
                          fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(speed));
        p.setPen(QPen(pal.color(QPalette::Mid), 0));
    }
    p.setPen(pal.color(QPalette::WindowText));
    p.drawRect(area);
    p.drawText(QRectF(area.left(), height() - kMargin - fm.height(), area.width(), fm.height()),
               Qt::AlignCenter, QStringLiteral("Step"));
    p.save();
    p.translate(kMargin, area.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-area.height() / 2, 0, area.height(), fm.height()), Qt::AlignCenter,
               QStringLiteral("IsSpeed"));
    p.restore();
    // The speeds.
    if (m_points.isEmpty())
        return;
    QPainterPath line(at(m_points.first().x(), m_points.first().y()));
    for (const QPointF& point : m_points)
        line.lineTo(at(point.x(), point.y()));
    p.setPen(QPen(pal.color(QPalette::Highlight), 2));
    p.drawPath(line);
}

PecChartWindow::PecChartWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("chart"));
    setWindowTitle(QStringLiteral("PEC Data"));
    MSChart1 = new PecChart(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MSChart1);
    resize(640, 400);
}

} // namespace corvane
