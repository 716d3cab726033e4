#pragma once

#include "common/FakeClock.h"
#include "common/FakeSerialPort.h"
#include "common/ScriptedPrompts.h"
#include "common/SessionAccess.h"
#include "session/SessionLine.h"

#include <QCoreApplication>

namespace corvane::test {

// The line without a window: a channel on an open in-memory port and a fake
// clock, and the door the models use on it; the replies a request hands to
// keep() are kept, with the failures.
struct Wire {
    FakeClock clock;
    FakeSerialPort port{&clock};
    Channel channel{clock};
    SessionLine line{channel};
    QList<QByteArray> replies;
    QList<ReplyFailure> failures;

    Wire() {
        channel.setPort(&port);
        port.open(nullptr);
    }
    ReplyHandler keep() {
        return [this](const RawReply& r) {
            if (r.ok())
                replies << r.bytes;
            else
                failures << r.failure;
        };
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
