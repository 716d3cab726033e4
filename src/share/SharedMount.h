#pragma once

#include "share/Lx200Request.h"
#include "share/StellariumProtocol.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

namespace corvane {

class MountSession;

// The mount as programs sharing it see it: what they ask of the board goes
// through the session's one command channel, as ordinary exchanges one at a
// time with the window's own, so no reply can reach the wrong asker.
//
// Positions come from the session's model while it is younger than half a
// second; otherwise one board query serves every asker waiting, so clients
// polling often never multiply the line's load. While a long exchange runs
// (a PEC read-out or restore) nothing of the clients reaches the board:
// queries are answered from the model, motion is refused.
class SharedMount : public QObject {
    Q_OBJECT
public:
    static constexpr int kFreshPositionMs = 500;

    explicit SharedMount(MountSession& session, QObject* parent = nullptr);

    MountSession& session() const { return m_session; }

    // The mount's position in the board's two texts ("HH:MM.T", "sDD*MM"),
    // or nothing when the board did not give one.
    using PositionAnswer = std::function<void(std::optional<SkyPosition> position,
                                              const QString& ra, const QString& dec)>;
    void position(QObject* asker, PositionAnswer answer);

    // The board's command for the request and its reply (nothing when it
    // has none, or it did not come); `answer` runs once, also when the
    // exchange was cancelled.
    using Reply = std::function<void(std::optional<QByteArray> reply)>;
    void exchange(QObject* asker, const Lx200Request& request, Reply answer);

    // A Stellarium client's goto: the target set on the board, then the slew.
    void gotoTarget(const BoardTarget& target);

    // A long exchange runs: clients' motion is refused meanwhile.
    bool isBusyWithLongExchange() const;
    // Position queries this has sent to the board since it was made.
    int boardPositionQueries() const { return m_positionQueries; }

private:
    struct Waiting {
        QPointer<QObject> asker;
        PositionAnswer answer;
    };
    void answerWaiting();
    void showTarget(const Lx200Request& request);

    MountSession& m_session;
    QList<Waiting> m_waiting;
    bool m_positionAsked = false;
    int m_positionQueries = 0;
    // The reply to the client exchange under way (one at a time on the line).
    std::optional<QByteArray> m_reply;
};

} // namespace corvane
