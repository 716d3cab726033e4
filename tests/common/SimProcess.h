#pragma once

#include "link/PortDirectory.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <csignal>

namespace corvane::test {

inline QString simulatorPath() {
    return qEnvironmentVariable("CORVANE_BIN_DIR") + QStringLiteral("/corvane-sim");
}

// A running corvane-sim on a pseudo-terminal; stopped with SIGTERM when it
// goes out of scope.
struct SimProcess {
    QProcess process;
    QString device;

    explicit SimProcess(const QStringList& arguments = {}) {
        process.start(simulatorPath(), arguments);
        if (!process.waitForStarted(5000))
            return;
        // The device path is the first line on standard output.
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000))
                process.kill();
        }
    }
    // Sends a signal and waits for a clean end; returns the exit code, -1 when
    // it did not end normally.
    int stopWith(int signal) {
        ::kill(static_cast<pid_t>(process.processId()), signal);
        if (!process.waitForFinished(3000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }
    // Port 1 of the program's real serial port, on this simulator's line.
    PortDirectory directory() const {
        PortDirectory d = PortDirectory::fromDevices({}, {}, false);
        d.bind(1, device);
        return d;
    }
};

} // namespace corvane::test
