// corvane-sim: a simulated Corvane controller board on a pseudo-terminal, or
// with --tcp on a TCP port as behind a serial-to-network bridge. Prints what
// to open on its first line (the device, or tcp://HOST:PORT), then serves the
// board there until SIGTERM or SIGINT (or until a --vanish-after fault pulls
// the line).
#include "sim/PtyServer.h"
#include "sim/SimLine.h"
#include "sim/SimLog.h"
#include "sim/SimOptions.h"
#include "sim/TcpServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

using namespace corvane::sim;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// Turns SIGTERM and SIGINT into a clean quit of the event loop.
bool quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        app.quit();
    });
    return true;
}

// The server the options ask for, listening; null (and why) when it cannot.
std::unique_ptr<LineServer> startServer(SimLine& line, const SimOptions& options, QString* where,
                                        QString* error) {
    if (options.tcpPort >= 0) {
        auto server = std::make_unique<TcpServer>(line);
        if (!server->listen(QHostAddress(options.tcpAddress), static_cast<quint16>(options.tcpPort),
                            error))
            return nullptr;
        *where = server->url();
        return server;
    }
    auto server = std::make_unique<PtyServer>(line);
    if (!server->open(error))
        return nullptr;
    *where = server->devicePath();
    return server;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-sim"));

    SimOptions options;
    QString error;
    bool help = false;
    if (!parseSimOptions(QCoreApplication::arguments().mid(1), &options, &error, &help)) {
        std::fprintf(stderr, "corvane-sim: %s\nTry 'corvane-sim --help' for the options.\n",
                     qPrintable(error));
        return 2;
    }
    if (help) {
        // Named as installed, whatever path it was started by.
        QString text = simOptionsHelp();
        text.replace(0, text.indexOf(QLatin1Char('\n')),
                     QStringLiteral("Usage: corvane-sim [options]"));
        std::fputs(qPrintable(text), stdout);
        return 0;
    }

    SimLine line(options, QDateTime::currentMSecsSinceEpoch());
    SimLog log;
    if (!options.logFile.isEmpty()) {
        if (!log.open(options.logFile, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
        line.setLog([&log](qint64 us, char direction, const QByteArray& bytes) {
            log.write(us, direction, bytes);
        });
    }
    if (!quitOnSignals(app)) {
        std::fputs("corvane-sim: cannot catch SIGTERM and SIGINT\n", stderr);
        return 1;
    }
    QString where;
    const std::unique_ptr<LineServer> server = startServer(line, options, &where, &error);
    if (!server) {
        std::fprintf(stderr, "corvane-sim: %s\n", qPrintable(error));
        return 1;
    }
    QObject::connect(server.get(), &LineServer::vanished, &app, [&app] {
        std::fputs("corvane-sim: the line vanished (fault injection)\n", stderr);
        app.quit();
    });

    std::printf("%s\n", qPrintable(where));
    std::fflush(stdout);
    std::fprintf(stderr,
                 "corvane-sim: Corvane board, firmware %.2f, %s, motor speed-up %g, on %s\n",
                 options.firmware, options.pacing ? "9600 baud" : "unpaced", options.speedup,
                 qPrintable(where));
    return QCoreApplication::exec();
}
