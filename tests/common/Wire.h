#pragma once

#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "common/ScriptedPrompts.h"
#include "link/Channel.h"
#include "session/MountSession.h"

#include <QCoreApplication>

namespace corvane::test {

// The line without a window: a channel on an open in-memory port and a fake
// clock; the replies of a kind can be collected as they are dispatched.
struct Wire {
    FakeClock clock;
    FakeSerialPort port{&clock};
    Channel channel{clock};
    QList<QByteArray> dispatched;

    Wire() {
        channel.setPort(&port);
        port.open(nullptr);
    }
    void collect(qint16 kind) {
        channel.dispatcher().subscribe(kind, &channel,
                                       [this](const QByteArray& r) { dispatched << r; });
    }
    // Runs the sequence; the result it has ended with so far (Done until then).
    std::shared_ptr<SequenceResult> run(Sequence s) {
        auto result = std::make_shared<SequenceResult>(SequenceResult::Done);
        channel.run(s.onEnd([result](SequenceResult r) { *result = r; }));
        return result;
    }
};

// Every model of the mount without a window, on an in-memory port, connected
// to a board that answered the version query; its traffic then forgotten.
struct Session {
    FakeClock clock;
    ScriptedPrompts prompts;
    FakeSerialPort* port = new FakeSerialPort(&clock);
    MountSession session{port, clock, prompts};

    explicit Session(const QByteArray& version = "3.60 CORV#") {
        session.startUp();
        session.toggleConnection();
        reply(version);
        port->clearWrites();
        clock.pauses.clear();
    }
    void reply(const QByteArray& bytes) {
        port->feed(bytes);
        QCoreApplication::processEvents();
    }
    QStringList sent() const { return port->writtenCommands(); }
};

} // namespace corvane::test
