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
// polling often never multiply the line's load. A position older than
// kRefreshPositionMs is still given out but asked for again at once (unless
// the window polls often enough itself), so that clients polling often find
// a fresh one instead of waiting for the board.
// While a long exchange runs (a PEC read-out or restore, a mount backup,
// comparison or restore) clients' motion is refused and positions are
// answered from the last reading; their stops still reach the board, between
// the exchange's own writes, as every client's stop goes ahead of what waits.
// After a client's sync the next position is the board's; while the port is
// closed there is none. Each request names the client (`who`) in the traffic
// log.
class SharedMount : public QObject {
    Q_OBJECT
public:
    static constexpr int kFreshPositionMs = 500;
    // Time enough for the board's answer (25 characters at 9600 baud and the
    // settle, about 50 ms) even behind a poll of the window's.
    static constexpr int kRefreshPositionMs = 350;
    // A goto counts as under way until the mount has stood still this long.
    static constexpr int kSlewSettledMs = 1500;

    explicit SharedMount(MountSession& session, QObject* parent = nullptr);

    MountSession& session() const { return m_session; }

    // The mount's position in the board's two texts ("HH:MM.T", "sDD*MM"),
    // or nothing when the board did not give one (it did not answer, or the
    // port is closed).
    using PositionAnswer = std::function<void(std::optional<SkyPosition> position,
                                              const QString& ra, const QString& dec)>;
    void position(QObject* asker, PositionAnswer answer);

    // The board's command for the request and its reply (nothing when it
    // has none, or it did not come); `answer` runs once, also when the
    // exchange was cancelled, unless the asker is gone. A request still
    // waiting its turn when the asker goes is dropped unsent.
    using Reply = std::function<void(std::optional<QByteArray> reply)>;
    void exchange(QObject* asker, const QString& who, const Lx200Request& request, Reply answer);

    // A Stellarium client's goto: the target set on the board, then the
    // slew; `done` runs once it is over (refused, cut short or sent).
    void gotoTarget(QObject* asker, const QString& who, const BoardTarget& target,
                    std::function<void()> done);

    // LX200's distance bars (":D#"): whether a goto a client started is
    // still under way, from the positions the board reports, without asking
    // the board anything else: it is over once the mount reports the target,
    // a client stops all motion, or the mount has stood still for
    // kSlewSettledMs (the window's STOP, a goto the board cut short).
    void slewing(QObject* asker, std::function<void(bool slewing)> answer);

    // A long exchange runs: clients' motion is refused meanwhile.
    bool isBusyWithLongExchange() const;
    // Position queries this has sent to the board since it was made.
    int boardPositionQueries() const { return m_positionQueries; }

signals:
    // The window's STOP: clients drop every request still waiting.
    void stopped();

private:
    struct Waiting {
        QPointer<QObject> asker;
        PositionAnswer answer;
    };
    struct Slew {
        BoardTarget target;
        std::optional<BoardRa> lastRa; // the position last seen, and since when
        std::optional<BoardDec> lastDec;
        qint64 sinceMs = 0;
    };
    bool windowPolls() const;
    bool isFresh() const;
    void askBoard();
    void answerWaiting(bool give);
    void noteReply(const Lx200Request& request, const std::optional<QByteArray>& reply);
    bool stillSlewing();

    MountSession& m_session;
    QList<Waiting> m_waiting;
    bool m_positionAsked = false;
    // A client synced since the board last reported the position.
    bool m_syncedSinceRead = false;
    int m_positionQueries = 0;
    // The target clients set on the board (what a goto goes to), and the
    // goto under way.
    BoardTarget m_target;
    std::optional<Slew> m_slew;
    // The reply to the client exchange under way (one at a time on the line).
    std::optional<QByteArray> m_reply;
};

} // namespace corvane
