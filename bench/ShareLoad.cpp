#include "ShareLoad.h"

#include "app/MainWindow.h"
#include "link/BoardLine.h"
#include "motion/ui/PositionPanel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTcpSocket>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

namespace corvane::bench {

namespace {

// "HH:MM.T#" and "sDD*MM#", in the order the client asked for them.
const QRegularExpression
    kRaFirst(QStringLiteral("^[0-2][0-9]:[0-5][0-9]\\.[0-9]#[+-][0-9]{2}\\*[0-5][0-9]#$"));
const QRegularExpression
    kDecFirst(QStringLiteral("^[+-][0-9]{2}\\*[0-5][0-9]#[0-2][0-9]:[0-5][0-9]\\.[0-9]#$"));
constexpr int kAnswerLength = 15;

// Runs the event loop of the calling thread until `done` or the deadline,
// without spinning: `done` is looked at every 5 ms.
template <typename Done> bool turnUntil(Done done, int ms) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    look.setInterval(5);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    look.start();
    loop.exec();
    return done();
}

} // namespace

class PollingClients::Worker : public QObject {
public:
    struct Client {
        QTcpSocket* socket = nullptr;
        QTimer* timer = nullptr;
        QByteArray received;
        bool decFirst = false;
        bool waiting = false;
        qint64 sentNs = 0;
    };

    Worker(quint16 port, int count, int intervalMs)
        : m_port(port), m_count(count), m_intervalMs(intervalMs) {}

    void connectAll() {
        m_clock.start();
        for (int i = 0; i < m_count; ++i) {
            auto c = std::make_shared<Client>();
            c->decFirst = i % 2 == 1;
            c->socket = new QTcpSocket(this);
            c->timer = new QTimer(this);
            c->timer->setTimerType(Qt::PreciseTimer);
            c->timer->setInterval(m_intervalMs);
            Client* raw = c.get();
            connect(c->socket, &QTcpSocket::connected, this, [this, raw, i] {
                ++connected;
                // Spread the clients over the interval, as independent programs are.
                QTimer::singleShot(m_intervalMs * i / m_count, raw->timer,
                                   qOverload<>(&QTimer::start));
            });
            connect(c->socket, &QTcpSocket::readyRead, this, [this, raw] { read(*raw); });
            connect(c->socket, &QTcpSocket::disconnected, this,
                    [this] { m_figures.disconnected = true; });
            connect(c->timer, &QTimer::timeout, this, [this, raw] { ask(*raw); });
            c->socket->connectToHost(QStringLiteral("127.0.0.1"), m_port);
            m_clients.push_back(std::move(c));
        }
    }

    void stopPolling() {
        for (auto& c : m_clients)
            c->timer->stop();
    }

    bool anyWaiting() const {
        return std::any_of(m_clients.begin(), m_clients.end(),
                           [](const auto& c) { return c->waiting; });
    }

    ClientFigures figures() const { return m_figures; }

    void closeAll() {
        for (auto& c : m_clients)
            c->socket->abort();
        m_clients.clear();
    }

    std::atomic<int> connected{0};
    std::atomic<bool> idle{false};
    std::atomic<bool> stopped{false};

private:
    void ask(Client& c) {
        if (c.waiting || c.socket->state() != QAbstractSocket::ConnectedState)
            return;
        c.waiting = true;
        ++m_figures.asked;
        c.sentNs = m_clock.nsecsElapsed();
        c.socket->write(c.decFirst ? ":GD#:GR#" : ":GR#:GD#");
    }

    void read(Client& c) {
        c.received += c.socket->readAll();
        if (!c.waiting && !c.received.isEmpty()) {
            bad(c.received); // nothing was asked
            c.received.clear();
            return;
        }
        if (c.received.size() < kAnswerLength)
            return;
        const QByteArray answer = c.received.left(kAnswerLength);
        const bool good =
            (c.decFirst ? kDecFirst : kRaFirst).match(QLatin1String(answer)).hasMatch();
        if (good && c.received.size() == kAnswerLength) {
            ++m_figures.answered;
            m_figures.answerMs.append((m_clock.nsecsElapsed() - c.sentNs) / 1e6);
        } else {
            bad(c.received);
        }
        c.received.clear();
        c.waiting = false;
        idle = !anyWaiting();
    }

    void bad(const QByteArray& answer) {
        if (m_figures.badAnswers++ == 0)
            m_figures.firstBad = answer;
    }

    quint16 m_port;
    int m_count;
    int m_intervalMs;
    QElapsedTimer m_clock;
    std::vector<std::shared_ptr<Client>> m_clients;
    ClientFigures m_figures;
};

PollingClients::PollingClients(quint16 port, int count, int intervalMs)
    : m_count(count), m_worker(new Worker(port, count, intervalMs)) {
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

PollingClients::~PollingClients() {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->closeAll(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

bool PollingClients::start() {
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->connectAll(); });
    return turnUntil([this] { return m_worker->connected.load() == m_count; }, 3000);
}

ClientFigures PollingClients::stop() {
    QMetaObject::invokeMethod(m_worker, [w = m_worker] {
        w->stopPolling();
        w->idle = !w->anyWaiting();
        w->stopped = true;
    });
    // The program answers on this thread: it has to keep turning meanwhile.
    turnUntil([this] { return m_worker->stopped.load() && m_worker->idle.load(); }, 2000);
    ClientFigures out;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, &out] { out = w->figures(); }, Qt::BlockingQueuedConnection);
    return out;
}

LoopGapMeter::LoopGapMeter(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(2);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestNs = std::max(m_longestNs, now - m_lastNs);
        m_lastNs = now;
    });
}

void LoopGapMeter::start() {
    m_clock.start();
    m_lastNs = 0;
    m_longestNs = 0;
    m_timer.start();
}

LoadRun runLoad(MainWindow& window, quint16 port, int clients, int seconds, bool windowBusy) {
    constexpr int kGuiding = 1;
    QTabWidget& tabs = *window.findChild<QTabWidget*>(QStringLiteral("tabstrip1"));
    BoardLine& channel = window.session().line();
    const auto settle = [&channel] {
        turnUntil([&channel] { return !channel.isBusy() && !channel.isLineBusy(); }, 5000);
    };
    LoadRun run;
    LoopGapMeter gaps;
    gaps.start();
    for (const int page : {2, 0, kGuiding}) {
        tabs.setCurrentIndex(page);
        settle();
    }
    run.firstShowGapMs = gaps.longestMs();
    window.findChild<PositionPanel*>()->scrlUDTime->setValue(500);
    window.findChild<PositionPanel*>()->Check1->setChecked(windowBusy);

    QObject counter;
    QObject::connect(&channel, &BoardLine::written, &counter, [&run](const QByteArray& bytes) {
        if (bytes.contains("#:GR#"))
            ++run.boardPositionQueries;
    });
    QTimer tabChanges;
    tabChanges.setInterval(1000);
    QObject::connect(&tabChanges, &QTimer::timeout, &counter, [&] {
        static constexpr int kOrder[] = {0, kGuiding, 2, kGuiding};
        tabs.setCurrentIndex(kOrder[run.tabChanges++ % 4]);
    });
    PollingClients pollers(port, clients, 100);
    if (!pollers.start())
        return run;
    QElapsedTimer took;
    took.start();
    gaps.start();
    if (windowBusy)
        tabChanges.start();
    turnUntil([] { return false; }, seconds * 1000);
    tabChanges.stop();
    run.clients = pollers.stop();
    gaps.stop();
    run.seconds = took.nsecsElapsed() / 1e9;
    run.longestGapMs = gaps.longestMs();
    window.findChild<PositionPanel*>()->Check1->setChecked(false);
    return run;
}

double percentile(QVector<double> values, double p) {
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<qsizetype>(std::ceil(p / 100.0 * values.size()));
    return values.at(std::clamp<qsizetype>(rank - 1, 0, values.size() - 1));
}

} // namespace corvane::bench
