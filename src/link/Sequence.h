#pragma once

#include "link/Query.h"
#include "link/Reply.h"

#include <QString>
#include <QVector>
#include <functional>

namespace corvane {

enum class SequenceResult { Done, Cancelled, TimedOut, PortLost };

// An exchange of several steps with the controller: commands, the pauses
// between them, code to run, questions to the user and waits for a reply.
// Built here, run by the channel's SequenceRunner, on the event loop: a
// pause is a timer, never a sleep. Example:
//
//   Sequence(QStringLiteral("pulse"))
//       .send("#:Q#").pause(100).send("#:Mgn250#");
class Sequence {
public:
    explicit Sequence(QString name = QString()) : m_name(std::move(name)) {}

    // Writes a command (dropped while the port is closed, as every send is).
    Sequence& send(const QString& command);
    // Awaits the query's reply and sends its command; the reply goes to
    // `handler` (none: it is only shown).
    Sequence& request(const Query& query, ReplyHandler handler = {});
    Sequence& pause(int ms);
    Sequence& then(std::function<void()> action);
    // Asks the user; a false answer ends the sequence as cancelled.
    Sequence& ask(std::function<bool()> question);
    // Waits until the request sent last is answered; ends the sequence as
    // timed out when its reply does not come in time.
    Sequence& awaitReply();
    // Reports progress (value of total) to whoever watches the runner.
    Sequence& report(int value, int total);
    // Runs at the end, whatever the result.
    Sequence& onEnd(std::function<void(SequenceResult)> done);
    // A sequence that must never be cut short (a table write half done is
    // lost data): STOP does not cancel it, and closing the window waits.
    Sequence& protect();
    // Refused, instead of queued, while another sequence runs.
    Sequence& exclusive();

    const QString& name() const { return m_name; }
    int size() const { return m_steps.size(); }
    bool isProtected() const { return m_protected; }
    bool isExclusive() const { return m_exclusive; }

private:
    friend class SequenceRunner;
    enum class StepKind { Send, Request, Pause, Action, Ask, AwaitReply, Report };
    struct Step {
        StepKind kind = StepKind::Action;
        QString command;
        Query query;
        ReplyHandler handler;
        int value = 0; // pause length, or progress value
        int total = 0;
        std::function<void()> action;
        std::function<bool()> question;
    };

    Step& add(StepKind kind);

    QString m_name;
    QVector<Step> m_steps;
    std::function<void(SequenceResult)> m_done;
    bool m_protected = false;
    bool m_exclusive = false;
};

} // namespace corvane
