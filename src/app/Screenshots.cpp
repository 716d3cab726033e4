#include "app/Screenshots.h"

#include "app/MainWindow.h"
#include "pec/PecModel.h"
#include "pec/ui/PecChartWindow.h"
#include "pec/ui/PecPage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <memory>

namespace corvane {

namespace {

// Steps run one after another, each given time for the window (and the
// simulated board) to answer.
struct Shoot {
    MainWindow& window;
    QDir folder;
    bool ok = true;
    QList<std::pair<int, std::function<void()>>> steps;

    void grab(QWidget* widget, const QString& name) {
        ok = widget && widget->grab().save(folder.filePath(name + QStringLiteral(".png"))) && ok;
    }
    QWidget* top(const char* name) const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name) && w->isVisible())
                return w;
        return nullptr;
    }
    void next(const std::shared_ptr<Shoot>& self) {
        if (steps.isEmpty()) {
            QApplication::exit(ok ? 0 : 1);
            return;
        }
        const auto [wait, step] = steps.takeFirst();
        QTimer::singleShot(wait, &window, [self, step = step] {
            step();
            self->next(self);
        });
    }
};

} // namespace

void takeScreenshots(MainWindow& w, const QString& folder) {
    auto s = std::make_shared<Shoot>(Shoot{w, QDir(folder), true, {}});
    QDir().mkpath(folder);
    w.resize(1000, 700);
    auto action = [&w](const char* name) { return w.findChild<QAction*>(QLatin1String(name)); };
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("tabstrip1"));
    auto* chart = w.findChild<QPushButton*>(QStringLiteral("cmdChartPEC"));
    s->steps = {
        {0, [&w] { w.session().toggleConnection(); }},
        {1500, [s] { s->grab(&s->window, QStringLiteral("settings")); }},
        {0, [tabs] { tabs->setCurrentIndex(1); }},
        {1200, [s] { s->grab(&s->window, QStringLiteral("guiding")); }},
        {0, [tabs] { tabs->setCurrentIndex(2); }},
        {800, [&w] { w.session().pec().readOut(); }},
        {3500, [s] { s->grab(&s->window, QStringLiteral("pec")); }},
        {0, [chart] { chart->click(); }},
        {500, [s] { s->grab(s->top("chart"), QStringLiteral("chart")); }},
        {0, [action] { action("mnuShare")->trigger(); }},
        {500, [s] { s->grab(s->top("Share"), QStringLiteral("share")); }},
        {0, [action] { action("mnuTraffic")->trigger(); }},
        {500, [s] { s->grab(s->top("traffic"), QStringLiteral("traffic")); }},
        {0,
         [tabs, action] {
             tabs->setCurrentIndex(1);
             action("mnuNightVision")->trigger();
         }},
        {800, [s] { s->grab(&s->window, QStringLiteral("guiding-night")); }},
        {0, [action] { action("mnuNightVision")->trigger(); }},
    };
    s->next(s);
}

} // namespace corvane
