#include "pec/ui/ChartColours.h"
#include "periphery/ui/NightVision.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QtTest>

using namespace corvane;

class TestChartColours : public QObject {
    Q_OBJECT
private slots:
    void chartFollowsTheApplicationPalette() {
        const QPalette day = QApplication::palette();
        auto* chart = new QChart;
        auto* series = new QLineSeries;
        series->append(0, 1);
        chart->addSeries(series);
        auto* x = new QValueAxis;
        chart->addAxis(x, Qt::AlignBottom);
        series->attachAxis(x);
        QChartView view(chart);
        followPalette(&view);
        QCOMPARE(chart->backgroundBrush().color(), day.color(QPalette::Window));

        const QPalette night = nightPalette();
        QApplication::setPalette(night);
        QCoreApplication::processEvents();
        QCOMPARE(chart->backgroundBrush().color(), night.color(QPalette::Window));
        QCOMPARE(chart->plotAreaBackgroundBrush().color(), night.color(QPalette::Base));
        QCOMPARE(x->labelsBrush().color(), night.color(QPalette::WindowText));
        QCOMPARE(chart->legend()->labelColor(), night.color(QPalette::WindowText));

        QApplication::setPalette(day);
        QCoreApplication::processEvents();
        QCOMPARE(chart->backgroundBrush().color(), day.color(QPalette::Window));
    }
};

QTEST_MAIN(TestChartColours)
#include "test_chart_colours.moc"
