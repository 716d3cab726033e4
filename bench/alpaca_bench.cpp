// alpaca-bench: the shared mount under ASCOM clients, in the program as
// "--simulate --alpaca" runs it (the window on the simulated board at 9600
// baud, the system clock). Four Alpaca clients, on a thread of their own,
// each read rightascension, declination, slewing and tracking ten times a
// second over one kept-alive connection, beside an LX200 client polling at
// 10 Hz and the window polling every 0.5 s with its tabs changing every
// second: the Alpaca answer time (median, 99th percentile), faults, the
// position queries reaching the board a second and the longest pause of the
// event loop.
// Usage: alpaca-bench [SECONDS=60] [ALPACA_CLIENTS=4]
#include "ShareLoad.h"

#include "app/MainWindow.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "share/AlpacaServer.h"
#include "share/ShareServer.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

using namespace corvane;
using namespace corvane::bench;

namespace {

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

const char* const kMembers[] = {"rightascension", "declination", "slewing", "tracking"};

struct Figures {
    int asked = 0;
    int good = 0;
    int bad = 0;
    int reconnects = 0;
    QVector<double> answerMs;
    QByteArray firstBad;
};

// Alpaca clients on the thread they live on: each, every 100 ms unless its
// last round is still under way, asks the four members one after the other.
class Pollers : public QObject {
public:
    Pollers(quint16 port, int count) : m_port(port), m_count(count) {}

    void startAll() {
        m_clock.start();
        for (int i = 0; i < m_count; ++i) {
            auto c = std::make_shared<Client>();
            c->id = i + 1;
            c->socket = new QTcpSocket(this);
            c->timer = new QTimer(this);
            c->timer->setTimerType(Qt::PreciseTimer);
            c->timer->setInterval(100);
            Client* raw = c.get();
            connect(c->socket, &QTcpSocket::readyRead, this, [this, raw] { read(*raw); });
            connect(c->socket, &QTcpSocket::disconnected, this, [this, raw] {
                raw->next = -1;
                raw->in.clear();
                if (!running)
                    return;
                ++m_figures.reconnects;
                raw->socket->connectToHost(QStringLiteral("127.0.0.1"), m_port);
            });
            connect(c->timer, &QTimer::timeout, this, [this, raw] { round(*raw); });
            c->socket->connectToHost(QStringLiteral("127.0.0.1"), m_port);
            QTimer::singleShot(100 * i / m_count, c->timer, qOverload<>(&QTimer::start));
            m_clients.push_back(std::move(c));
        }
    }
    void stopAll() {
        running = false;
        for (auto& c : m_clients) {
            c->timer->stop();
            c->socket->abort();
        }
    }
    Figures figures() const { return m_figures; }
    std::atomic<bool> running{true};

private:
    struct Client {
        int id = 0;
        QTcpSocket* socket = nullptr;
        QTimer* timer = nullptr;
        QByteArray in;
        int next = -1; // the member asked, -1 between rounds
        qint64 sentNs = 0;
        quint32 transaction = 0;
    };

    void round(Client& c) {
        if (c.next >= 0 || c.socket->state() != QAbstractSocket::ConnectedState)
            return;
        c.next = 0;
        ask(c);
    }
    void ask(Client& c) {
        ++m_figures.asked;
        c.sentNs = m_clock.nsecsElapsed();
        c.socket->write(QByteArray("GET /api/v1/telescope/0/") + kMembers[c.next] +
                        "?ClientID=" + QByteArray::number(c.id) + "&ClientTransactionID=" +
                        QByteArray::number(++c.transaction) + " HTTP/1.1\r\nHost: x\r\n\r\n");
    }
    void read(Client& c) {
        c.in += c.socket->readAll();
        const qsizetype end = c.in.indexOf("\r\n\r\n");
        const qsizetype at = c.in.indexOf("Content-Length: ");
        if (end < 0 || at < 0 || c.next < 0)
            return;
        const int length = c.in.mid(at + 16, c.in.indexOf('\r', at) - at - 16).toInt();
        if (c.in.size() < end + 4 + length)
            return;
        const QByteArray body = c.in.mid(end + 4, length);
        const bool good =
            c.in.startsWith("HTTP/1.1 200") && body.contains("\"ErrorNumber\":0") &&
            body.contains("\"ClientTransactionID\":" + QByteArray::number(c.transaction) + ',');
        if (good) {
            ++m_figures.good;
            m_figures.answerMs << (m_clock.nsecsElapsed() - c.sentNs) / 1e6;
        } else if (m_figures.bad++ == 0) {
            m_figures.firstBad = c.in.left(end + 4 + length);
        }
        c.in.remove(0, end + 4 + length);
        c.next = c.next + 1 < 4 ? c.next + 1 : -1;
        if (c.next >= 0)
            ask(c);
    }

    quint16 m_port;
    int m_count;
    QElapsedTimer m_clock;
    std::vector<std::shared_ptr<Client>> m_clients;
    Figures m_figures;
};

// PUT Connect on the telescope, answered while this thread turns.
bool connectTelescope(quint16 port) {
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    s.write("PUT /api/v1/telescope/0/connect HTTP/1.1\r\nContent-Type: "
            "application/x-www-form-urlencoded\r\nContent-Length: 10\r\n\r\nClientID=9");
    QByteArray in;
    for (int i = 0; i < 100 && !in.contains("\"ErrorNumber\":0"); ++i) {
        wait(20);
        in += s.readAll();
    }
    return in.contains("\"ErrorNumber\":0");
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;
    const int clients = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 4;

    SystemClock clock;
    SilentPrompts prompts;
    QString error;
    SerialPort* port = sim::SimSerialPort::create(clock, {}, &error);
    if (!port) {
        std::fprintf(stderr, "alpaca-bench: %s\n", qPrintable(error));
        return 2;
    }
    MainWindow window(port, clock, prompts);
    window.startUp();
    window.show();
    window.session().toggleConnection();
    ShareSettings settings;
    settings.lx200 = settings.alpaca = true;
    settings.lx200Port = settings.alpacaPort = 0; // any free ports
    window.share().alpaca().setDiscoveryPort(0);
    if (!window.share().start(settings, &error)) {
        std::fprintf(stderr, "alpaca-bench: %s\n", qPrintable(error));
        return 2;
    }
    wait(1000);
    if (!connectTelescope(window.share().alpacaPort())) {
        std::fprintf(stderr, "alpaca-bench: the telescope did not connect\n");
        return 2;
    }

    QThread thread;
    auto* pollers = new Pollers(window.share().alpacaPort(), clients);
    pollers->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(pollers, [pollers] { pollers->startAll(); });
    const LoadRun load = runLoad(window, window.share().lx200Port(), 1, seconds, true);
    QMetaObject::invokeMethod(pollers, [pollers] { pollers->stopAll(); });
    wait(300);
    Figures alpaca;
    QMetaObject::invokeMethod(
        pollers, [pollers, &alpaca] { alpaca = pollers->figures(); }, Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(
        pollers, [pollers] { delete pollers; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();

    std::printf("%d Alpaca clients, 4 members at 10 Hz each, for %.1f s: %d answers, %d faults, "
                "%d reconnections; answer time median %.2f ms, 99th percentile %.1f ms, longest "
                "%.1f ms (aims below 2 ms and 50 ms)\n",
                clients, load.seconds, alpaca.good, alpaca.bad, alpaca.reconnects,
                percentile(alpaca.answerMs, 50), percentile(alpaca.answerMs, 99),
                percentile(alpaca.answerMs, 100));
    if (alpaca.bad)
        std::printf("first fault: %s\n", alpaca.firstBad.constData());
    const ClientFigures& lx = load.clients;
    std::printf("1 LX200 client at 10 Hz: %d answers, %d bad; median %.2f ms, 99th percentile "
                "%.1f ms\n",
                lx.answered, lx.badAnswers, percentile(lx.answerMs, 50),
                percentile(lx.answerMs, 99));
    std::printf("window polling every 0.5 s, %d tab changes: longest event-loop pause %.1f ms "
                "(aim at most 45 ms), %.2f position queries a second reached the board (aim at "
                "most 3)\n",
                load.tabChanges, load.longestGapMs, load.boardPositionQueries / load.seconds);
    return alpaca.bad == 0 && lx.badAnswers == 0 ? 0 : 1;
}
