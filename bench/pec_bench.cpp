// pec-bench: how long the PEC table read-out and restore take against the
// simulated board over a pseudo-terminal (corvane-sim, paced at 9600 baud in
// both directions, as a real board is), through the program's real serial
// port and its sequences. Prints one line each:
//   pec-readout: S s, R x the line limit
//   pec-restore: S s, R x its floor
// The read-out's line limit is its 256 queries, 1,938 characters, at 960
// characters a second (about 2.02 s); the restore's floor is its 256 pauses
// of 20 ms plus the line time of its writes.
#include "common/Clock.h"
#include "link/Channel.h"
#include "link/QtSerialPort.h"
#include "pec/PecFile.h"
#include "pec/PecTable.h"
#include "session/SessionLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <cstdio>

using namespace corvane;

namespace {

constexpr double kCharactersPerSecond = 960.0;

int characters(const QStringList& commands) {
    int n = 0;
    for (const QString& c : commands)
        n += c.size();
    return n;
}

// Runs the sequence and returns the seconds until it ended, or -1.
double timed(BoardLine& channel, Sequence sequence) {
    QEventLoop loop;
    SequenceResult result = SequenceResult::Cancelled;
    sequence.onEnd([&](SequenceResult r) {
        result = r;
        loop.quit();
    });
    QElapsedTimer took;
    took.start();
    if (!channel.run(std::move(sequence)))
        return -1;
    loop.exec();
    // The restore ends with a state query: wait for its reply too.
    while (channel.isLineBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return result == SequenceResult::Done ? took.nsecsElapsed() / 1e9 : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString simulator =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-sim");
    QProcess sim;
    sim.start(simulator, {});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "pec-bench: cannot start %s\n", qPrintable(simulator));
        return 2;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    PortDirectory directory = PortDirectory::fromDevices({}, {}, false);
    directory.bind(1, device);
    QtSerialPort port(directory);
    SystemClock clock;
    Channel wire(clock);
    wire.setPort(&port);
    SessionLine channel(wire);
    QString error;
    if (!port.open(&error)) {
        std::fprintf(stderr, "pec-bench: %s\n", qPrintable(error));
        return 2;
    }
    int answers = 0;
    const auto count = [&answers](const RawReply& reply) { answers = reply.bytes.size(); };

    QStringList queries;
    for (int step = 0; step < kPecSteps; ++step)
        queries << pecReadCommand(step);
    const double readout = timed(channel, pecReadoutSequence(channel, count));
    const double lineLimit = characters(queries) / kCharactersPerSecond;
    if (readout < 0 || answers != kPecSteps) {
        std::fprintf(stderr, "pec-bench: the read-out did not complete\n");
        return 1;
    }
    std::printf("pec-readout: %.2f s, %.2f x the line limit\n", readout, readout / lineLimit);

    RestorePlan plan;
    plan.factor = 5;
    QStringList writes{QStringLiteral("#5p#")};
    for (int step = 0; step < kPecSteps; ++step) {
        plan.codes << step % 4;
        writes << pecWriteCommand(step, step % 4);
    }
    writes << QStringLiteral("#:XYR#") << QStringLiteral("Y") << QStringLiteral("#:VS#");
    const double restore = timed(channel, pecRestoreSequence(channel, plan, {}));
    const double floor =
        kPecSteps * kPecRestorePauseMs / 1000.0 + characters(writes) / kCharactersPerSecond;
    if (restore < 0) {
        std::fprintf(stderr, "pec-bench: the restore did not complete\n");
        return 1;
    }
    std::printf("pec-restore: %.2f s, %.2f x its floor\n", restore, restore / floor);
    port.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
