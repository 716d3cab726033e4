#pragma once

// LX200 clients polling the shared mount from a thread of their own, so that
// their work never shows as a pause of the program's event loop, and the
// measures of such a run: the answer time each client sees, answers out of
// form or meant for another client, and the longest pause of the event loop.
// Used by the load test and by share-bench.

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <QVector>

namespace corvane {
class MainWindow;
}

namespace corvane::bench {

struct ClientFigures {
    int asked = 0;
    int answered = 0;
    int badAnswers = 0;        // not the answer to what this client asked
    QVector<double> answerMs;  // from the request written to its last byte read
    QByteArray firstBad;       // the first answer out of form, for the report
    bool disconnected = false; // the server closed the connection
};

// `count` clients connect to 127.0.0.1:port and each asks for the position
// every `intervalMs` (":GR#:GD#", every other client ":GD#:GR#", so that an
// answer reaching the wrong client shows), skipping a turn while its last
// request is unanswered, as LX200 clients do.
class PollingClients {
public:
    PollingClients(quint16 port, int count, int intervalMs);
    ~PollingClients();

    // Connects every client; false when one did not connect within 3 s.
    bool start();
    // Stops polling, waits for answers still due (up to 2 s) and returns the
    // figures of all clients together.
    ClientFigures stop();

private:
    class Worker;
    int m_count;
    QThread m_thread;
    Worker* m_worker;
};

// The longest time the event loop of the calling thread took to turn, seen
// by a timer that asks to run every 2 ms.
class LoopGapMeter : public QObject {
public:
    explicit LoopGapMeter(QObject* parent = nullptr);
    void start();
    void stop() { m_timer.stop(); }
    double longestMs() const { return m_longestNs / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
};

// A run of `clients` pollers at 10 Hz against the window's shared mount (it
// must be connected and sharing LX200 on `port`). With `windowBusy` the
// window polls every 0.5 s on the guiding page and the user changes tabs
// every second (guiding, settings, guiding, PEC, ...); every page is shown
// once before the run, as its layout is made when first shown.
struct LoadRun {
    ClientFigures clients;
    double seconds = 0.0;
    double longestGapMs = 0.0;
    double firstShowGapMs = 0.0;  // while every page was shown once, before the run
    int boardPositionQueries = 0; // "#:GR#" written to the board, the window's included
    int tabChanges = 0;
};
LoadRun runLoad(MainWindow& window, quint16 port, int clients, int seconds, bool windowBusy);

// The p-th percentile (0..100) of the values, nearest rank; 0 for none.
double percentile(QVector<double> values, double p);

} // namespace corvane::bench
