#pragma once

#include "app/MainWindow.h"
#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "common/ScriptedPrompts.h"
#include "common/SessionParts.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <memory>

namespace corvane::test {

// A main window on an in-memory port, a fake clock and scripted prompts.
// Controls are found by their object names, as a user finds them by caption.
struct WindowFixture {
    FakeClock clock;
    ScriptedPrompts prompts;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<MainWindow> window;

    explicit WindowFixture(QSet<int> openable = {1}) {
        port = new FakeSerialPort(&clock);
        port->openable = std::move(openable);
        window = std::make_unique<MainWindow>(port, clock, prompts);
    }

    template <typename T> T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no control named %s", qPrintable(name));
        return w;
    }
    QAction* action(const QString& name) const { return find<QAction>(name); }
    QPushButton* button(const QString& name) const { return find<QPushButton>(name); }
    QString panel(int n) const {
        return find<QLabel>(QStringLiteral("StatusBar1_%1").arg(n))->text();
    }

    // Start-up, then connect through the port menu; the board answers the
    // version query, so the line is free for what the test does next.
    void startAndConnect(const QByteArray& version = "3.60 CORV#") {
        connectWithoutReply();
        reply(version);
    }
    // ... and no board answers (yet).
    void connectWithoutReply() {
        window->startUp();
        action(QStringLiteral("mnuConnect"))->trigger();
    }
    // The far end answers the next reception.
    void reply(const QByteArray& bytes) {
        port->feed(bytes);
        QCoreApplication::processEvents();
    }

    QStringList sent() const { return port->writtenCommands(); }
    void press(const char* name) const { button(QLatin1String(name))->click(); }
    ClockTimer* timer(const char* name) const { return find<ClockTimer>(QLatin1String(name)); }
    MountSession& session() const { return window->session(); }
    Channel& channel() const { return window->session().channel(); }
    // The port numbers whose menu entries are checked.
    QVector<int> checkedPorts() const {
        QVector<int> out;
        for (int n = 1; n <= 16; ++n)
            if (action(QStringLiteral("mnucom_%1").arg(n))->isChecked())
                out << n;
        return out;
    }
};

// Connected, with the connection's own traffic forgotten.
struct ConnectedWindow : WindowFixture {
    ConnectedWindow() {
        startAndConnect();
        port->clearWrites();
    }
};

} // namespace corvane::test
