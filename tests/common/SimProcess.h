#pragma once

#include "link/PortDirectory.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>

namespace corvane::test {

inline QString simulatorPath() {
    return qEnvironmentVariable("CORVANE_BIN_DIR") + QStringLiteral("/corvane-sim");
}

// A running corvane-sim on a pseudo-terminal (or with "--tcp PORT" on a TCP
// port); stopped with SIGTERM when it goes out of scope.
struct SimProcess {
    // Limits only reached when something is wrong, however busy the machine.
    static constexpr int kStartMs = 30000;
    static constexpr int kEndMs = 30000;

    QProcess process;
    QString device; // "/dev/pts/7", or "tcp://127.0.0.1:4001" with --tcp

    explicit SimProcess(const QStringList& arguments = {}) {
        process.start(simulatorPath(), arguments);
        // The device path is the first line on standard output.
        while (process.waitForStarted(kStartMs) && !process.canReadLine() &&
               process.waitForReadyRead(kStartMs)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(kEndMs))
                process.kill();
        }
    }
    // Sends a signal and waits for a clean end: the exit code, else -1.
    int stopWith(int signal) {
        ::kill(static_cast<pid_t>(process.processId()), signal);
        if (!process.waitForFinished(kEndMs) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }
    // The TCP port it serves on (with --tcp); 0 otherwise.
    quint16 tcpPort() const {
        return device.startsWith(QLatin1String("tcp://")) ? device.section(':', -1).toUShort() : 0;
    }
    // The traffic of a --log file without its times: one line per direction
    // change, "> " and the host's bytes or "< " and the board's (faults "! "),
    // so that logs of one exchange compare equal however its bytes were split.
    static QStringList traffic(const QString& logPath) {
        QFile file(logPath);
        QStringList out;
        const QRegularExpression entry(QStringLiteral("^ *\\S+ (.*)$")); // after the time
        for (const QByteArray& line :
             file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>()) {
            const QString e = entry.match(QString::fromLatin1(line)).captured(1);
            if (!e.isEmpty() && !out.isEmpty() && out.last().at(0) == e.at(0) && e.at(0) != '!')
                out.last() += e.mid(2);
            else if (!e.isEmpty())
                out << e;
        }
        return out;
    }
    // Port 1 of the program's real serial port, on this simulator's line.
    PortDirectory directory() const {
        PortDirectory d = PortDirectory::fromDevices({}, {}, false);
        d.bind(1, device);
        return d;
    }
};

} // namespace corvane::test
