#include "app/BenchHooks.h"

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Screenshots.h"
#include "motion/ui/PositionPanel.h"
#include "sky/ui/SkyPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace corvane {

namespace {

double processorSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Connects, switches on polling on the guiding page, and after the given time
// prints the processor time spent since polling began, then quits.
void pollForMeasurement(MainWindow& window, int intervalMs, int seconds) {
    window.session().toggleConnection();
    window.findChild<QTabWidget*>(QStringLiteral("tabstrip1"))->setCurrentIndex(1);
    PositionPanel* position = window.findChild<PositionPanel*>();
    position->scrlUDTime->setValue(intervalMs);
    position->Check1->setChecked(true);
    const double startCpu = processorSeconds();
    const int duration = seconds > 0 ? seconds : 30;
    QTimer::singleShot(duration * 1000, qApp, [startCpu, duration, intervalMs, position] {
        const double used = processorSeconds() - startCpu;
        std::printf("polling: %d s, interval %d ms, cpu %.3f s, %.3f %% of one core, last "
                    "position %s %s\n",
                    duration, intervalMs, used, 100.0 * used / duration,
                    qPrintable(position->ScopeRAtxt->text()),
                    qPrintable(position->ScopeDECtxt->text()));
        std::fflush(stdout);
        QApplication::quit();
    });
}

// The catalogues the window offers, one line, so that a check of an
// installed program sees that it found its data.
void printCatalogues(const MainWindow& window) {
    const QComboBox* list = window.findChild<SkyPanel*>()->cbCatalogs;
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    std::printf("catalogues: %d (%s)\n", int(names.size()),
                qPrintable(names.join(QStringLiteral(", "))));
}

} // namespace

void startBenchHooks(MainWindow& window, const CommandLine& options) {
    if (!options.screenshots.isEmpty())
        takeScreenshots(window, options.screenshots);
    else if (options.benchPollMs > 0)
        pollForMeasurement(window, options.benchPollMs, options.benchSeconds);
    else if (options.quitWhenShown)
        QTimer::singleShot(0, qApp, [&window] {
            printCatalogues(window);
            // The benchmark measures from its own start to this moment.
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("shown-at-ns %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QApplication::quit();
        });
}

} // namespace corvane
