// share-bench: the shared mount under LX200 clients, in the program as
// "--simulate --share" runs it (the window on the simulated board at 9600
// baud, the system clock), the clients on a thread of their own.
//   answer time: 1 and 4 clients polling ":GR#:GD#" at 10 Hz, the window
//   idle; the median and 99th percentile of the time from a request written
//   to its answer read, against the line time of the board's own reply
//   (15 characters at 9600 baud, 15.6 ms);
//   load: 4 clients at 10 Hz while the window polls every 0.5 s and the tabs
//   change every second: answers out of form, the longest pause of the event
//   loop, position queries reaching the board per second.
// Usage: share-bench [ANSWER_SECONDS=20] [LOAD_SECONDS=60]
#include "ShareLoad.h"

#include "app/MainWindow.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "share/ShareServer.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

using namespace corvane;
using namespace corvane::bench;

namespace {

constexpr double kLineTimeMs = 15 * 10 * 1000.0 / 9600.0;

// Nobody is there to answer: every question gets its first button.
class SilentPrompts : public Prompts {
public:
    PromptAnswer message(const QString&, const QString&, PromptIcon, PromptButtons b) override {
        return b == PromptButtons::YesNoCancel ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    QString openFileName(const QString&) override { return {}; }
    QString saveFileName(const QString&) override { return {}; }
};

void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool report(const char* what, const LoadRun& run) {
    const ClientFigures& c = run.clients;
    const double median = percentile(c.answerMs, 50), p99 = percentile(c.answerMs, 99);
    std::printf("%s: %d answers in %.1f s, %d bad, %d unanswered; answer time median %.2f ms, "
                "99th percentile %.1f ms, longest %.1f ms (line time %.1f ms; aims below 2 ms "
                "and %.1f ms)\n",
                what, c.answered, run.seconds, c.badAnswers, c.asked - c.answered, median, p99,
                percentile(c.answerMs, 100), kLineTimeMs, kLineTimeMs + 20);
    std::fflush(stdout);
    return c.badAnswers == 0 && !c.disconnected;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int answerSeconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    const int loadSeconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 60;

    SystemClock clock;
    SilentPrompts prompts;
    QString error;
    SerialPort* port = sim::SimSerialPort::create(clock, {}, &error);
    if (!port) {
        std::fprintf(stderr, "share-bench: %s\n", qPrintable(error));
        return 2;
    }
    MainWindow window(port, clock, prompts);
    window.startUp();
    window.show();
    window.session().toggleConnection();
    ShareSettings settings;
    settings.lx200 = true;
    settings.lx200Port = 0; // any free port
    if (!window.share().start(settings, &error)) {
        std::fprintf(stderr, "share-bench: %s\n", qPrintable(error));
        return 2;
    }
    wait(500);
    const quint16 lx200 = window.share().lx200Port();

    const LoadRun first = runLoad(window, lx200, 1, answerSeconds, false);
    bool ok = report("1 client, window idle", first);
    ok = report("4 clients, window idle", runLoad(window, lx200, 4, answerSeconds, false)) && ok;
    const LoadRun load = runLoad(window, lx200, 4, loadSeconds, true);
    ok = report("4 clients, window polling, tabs changing", load) && ok;
    std::printf("load: longest event-loop pause %.1f ms (aim at most 45 ms; %.1f ms while the "
                "pages were first shown, before), %.2f position queries a second reached the "
                "board (aim at most 3), %d tab changes\n",
                load.longestGapMs, first.firstShowGapMs, load.boardPositionQueries / load.seconds,
                load.tabChanges);
    return ok ? 0 : 1;
}
