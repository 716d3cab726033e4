#pragma once

#include "app/MainWindow.h"
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "common/ScriptedPrompts.h"
#include "common/SessionAccess.h"
#include "config/DriveConfiguration.h"
#include "controller/ControllerInfo.h"
#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "motion/Target.h"
#include "sim/SimSerialPort.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace corvane::test {

// The main window with scripted prompts. Controls are found by their object
// names, as a user finds them by their captions.
template <typename ClockType> struct WindowBase {
    ClockType clock;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;

    template <typename T> T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no control named %s", qPrintable(name));
        return w;
    }
    QAction* action(const QString& name) const { return find<QAction>(name); }
    QPushButton* button(const QString& name) const { return find<QPushButton>(name); }
    void click(const QString& name) const { find<QAbstractButton>(name)->click(); }
    void trigger(const QString& name) const { action(name)->trigger(); }
    QString panel(int n) const {
        return find<QLabel>(QStringLiteral("StatusBar1_%1").arg(n))->text();
    }
    MountSession& session() const { return window->session(); }
    Channel& channel() const { return SessionAccess::channel(window->session()); }
    BoardLine& line() const { return window->session().line(); }
};

// On an in-memory port and the fake clock; the test plays the board.
struct WindowFixture : WindowBase<FakeClock> {
    FakeSerialPort* port = new FakeSerialPort(&clock);

    explicit WindowFixture(QSet<int> openable = {1}) {
        port->openable = std::move(openable);
        window = std::make_unique<MainWindow>(port, clock, prompts);
    }
    // Start-up and Connect; the board answers the version query (or not yet).
    void startAndConnect(const QByteArray& version = "3.60 CORV#") {
        connectWithoutReply();
        reply(version);
    }
    void connectWithoutReply() {
        window->startUp();
        trigger(QStringLiteral("mnuConnect"));
    }
    void reply(const QByteArray& bytes) {
        port->feed(bytes);
        QCoreApplication::processEvents();
    }
    QStringList sent() const { return port->writtenCommands(); }
    // The port numbers whose menu entries are checked.
    QVector<int> checkedPorts() const {
        QVector<int> out;
        for (int n = 1; n <= 16; ++n)
            if (action(QStringLiteral("mnucom_%1").arg(n))->isChecked())
                out << n;
        return out;
    }
};

// On the simulated board, every byte it receives logged. On the fake clock
// (the default) exchanges run at once and replies come unpaced; on the
// system clock, as --simulate runs it.
template <typename ClockType = FakeClock> struct SimWindow : WindowBase<ClockType> {
    QTemporaryDir dir;
    sim::SimSerialPort* port = nullptr;

    explicit SimWindow(QStringList simulatorArgs = {}) {
        simulatorArgs << QStringLiteral("--log") << dir.filePath(QStringLiteral("line.log"));
        if (std::is_same_v<ClockType, FakeClock>)
            simulatorArgs << QStringLiteral("--no-pacing");
        QString error;
        port = sim::SimSerialPort::create(this->clock, simulatorArgs, &error);
        if (!port)
            qFatal("simulated board: %s", qPrintable(error));
        this->window = std::make_unique<MainWindow>(port, this->clock, this->prompts);
    }
    // Start-up and Connect; true once the board's version is shown.
    bool connect() {
        if (!this->window->startUp())
            return false;
        this->trigger(QStringLiteral("mnuConnect"));
        return settle() && this->panel(1) == QLatin1String("Connected");
    }
    // Lets every exchange under way end (replies in, sequences done).
    bool settle(int ms = 5000) {
        QDeadlineTimer giveUp(ms);
        do
            QTest::qWait(1);
        while ((this->channel().runner().isBusy() || this->channel().isLineBusy()) &&
               !giveUp.hasExpired());
        QCoreApplication::processEvents();
        return !giveUp.hasExpired();
    }
    // The commands the board received (logged ">") since the last call.
    QStringList received() {
        QFile log(dir.filePath(QStringLiteral("line.log")));
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
