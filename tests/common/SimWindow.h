#pragma once

#include "app/MainWindow.h"
#include "common/FakeClock.h"
#include "common/ScriptedPrompts.h"
#include "common/SessionParts.h"
#include "sim/SimSerialPort.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace corvane::test {

// The main window on the simulated board, with every byte the board receives
// logged. On the fake clock (the default) exchanges run at once and replies
// come unpaced; on the system clock, as --simulate runs it.
template <typename ClockType = FakeClock> struct SimWindow {
    ClockType clock;
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    sim::SimSerialPort* port = nullptr;
    std::unique_ptr<MainWindow> window;

    explicit SimWindow(QStringList simulatorArgs = {}) {
        simulatorArgs << QStringLiteral("--log") << logPath();
        if (std::is_same_v<ClockType, FakeClock>)
            simulatorArgs << QStringLiteral("--no-pacing");
        QString error;
        port = sim::SimSerialPort::create(clock, simulatorArgs, &error);
        if (!port)
            qFatal("simulated board: %s", qPrintable(error));
        window = std::make_unique<MainWindow>(port, clock, prompts);
    }
    QString logPath() const { return dir.filePath(QStringLiteral("line.log")); }
    MountSession& session() const { return window->session(); }
    Channel& channel() const { return window->session().channel(); }

    template <typename T> T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no control named %s", qPrintable(name));
        return w;
    }
    void click(const QString& name) const { find<QAbstractButton>(name)->click(); }
    void trigger(const QString& name) const { find<QAction>(name)->trigger(); }
    QString status(int n) const {
        return find<QLabel>(QStringLiteral("StatusBar1_%1").arg(n))->text();
    }

    // Start-up and Connect; true once the board's version is shown.
    bool connect() {
        if (!window->startUp())
            return false;
        trigger(QStringLiteral("mnuConnect"));
        return settle() && status(1) == QLatin1String("Connected");
    }
    // Lets every exchange under way end (replies in, sequences done).
    bool settle(int ms = 5000) {
        QDeadlineTimer giveUp(ms);
        do
            QTest::qWait(1);
        while ((channel().runner().isBusy() || channel().isLineBusy()) && !giveUp.hasExpired());
        QCoreApplication::processEvents();
        return !giveUp.hasExpired();
    }
    // The commands the board received, as logged (lines marked ">"), and
    // since the last call.
    QStringList received() {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {QStringLiteral("no log")};
        QStringList all;
        while (!log.atEnd()) {
            const QString line = QString::fromLatin1(log.readLine()).chopped(1);
            const int mark = line.indexOf(QStringLiteral(" > "));
            if (mark > 0)
                all << line.mid(mark + 3);
        }
        const QStringList fresh = all.mid(m_seen);
        m_seen = all.size();
        return fresh;
    }

private:
    int m_seen = 0;
};

} // namespace corvane::test
