#pragma once

#include "share/AlpacaDevice.h"
#include "share/Lx200Request.h"

#include <QHash>
#include <QObject>
#include <optional>

namespace corvane {

class ClockTimer;
class MountSession;
class SharedMount;

// What every Alpaca device of the program shares: the members common to all
// ASCOM devices, the connection as ASCOM programs see it, and the table of
// members each device fills.
//
// The device is connected while the port is open, the board has answered
// the greeting, and no Alpaca client has disconnected it since; one client's
// Disconnect holds for every Alpaca client (each connects again), and only
// marks the device: the line stays open for the window and other programs.
// Connect opens the program's chosen port when it is closed, as Port >
// Connect does, and Connecting stays true until the greeting has ended.
class AlpacaCommon : public QObject, public AlpacaDevice {
    Q_OBJECT
public:
    using Done = std::function<void(AlpacaReply)>;
    using Handler = std::function<void(const AlpacaRequest&, const Done&)>;
    static constexpr int kInterfaceVersion = 4;

    AlpacaCommon(SharedMount& mount, QObject* parent = nullptr);

    void handle(const AlpacaRequest& request, Done done) override;

    bool isConnected() const;
    bool isConnecting() const { return m_connecting; }

protected:
    // What a member needs before it runs: nothing, the board (NotConnected
    // otherwise), or the board free for motion (also InvalidOperation while
    // a long exchange runs).
    enum class Needs { Nothing, Board, Motion };

    void onGet(const QString& member, Needs needs, Handler handler);
    void onPut(const QString& member, Needs needs, Handler handler);
    // A read that always gives the same value.
    void constant(const QString& member, const QJsonValue& value);
    // Members the board cannot serve: NotImplemented for either verb.
    void notImplemented(const QString& member, bool get, bool put);

    // The device's operational state (DeviceState) as name/value pairs.
    virtual void deviceState(const Done& done) = 0;
    virtual QString description() const = 0;

    SharedMount& mount() const { return m_mount; }
    MountSession& session() const;
    // The client as the traffic log names it.
    static QString who(const AlpacaRequest& request);
    // A board request built from parsed values, answered with the board's
    // reply (none for a command the board does not answer).
    void exchange(const AlpacaRequest& request, const Lx200Request& board,
                  std::function<void(std::optional<QByteArray>)> reply);
    // A stop goes out at once, between the steps of whatever runs.
    void interjectStop(const AlpacaRequest& request, const Lx200Request& stop);
    // Why a member with these needs cannot run now, if it cannot.
    std::optional<AlpacaReply> refusal(Needs needs) const;

private:
    struct Member {
        Needs needs = Needs::Nothing;
        Handler handler;
    };
    void addCommonMembers();
    void connectBoard(const Done& done, bool answerWhenGreeted);
    void greetingEnded();

    SharedMount& m_mount;
    QHash<QString, Member> m_gets;
    QHash<QString, Member> m_puts;
    bool m_disconnected = false; // by an Alpaca client
    bool m_connecting = false;
    int m_greetingsLeft = 0;
    ClockTimer* m_greetingLimit;
    // Callers of a PUT Connected=true, answered once the greeting has ended.
    QList<Done> m_awaitingGreeting;
};

// A parameter as the request gives it, or none after `done` got the
// protocol fault (missing, or not a finite number / whole number / boolean).
std::optional<double> numberParameter(const AlpacaRequest& r, const QString& name,
                                      const AlpacaCommon::Done& done);
std::optional<int> intParameter(const AlpacaRequest& r, const QString& name,
                                const AlpacaCommon::Done& done);
std::optional<bool> boolParameter(const AlpacaRequest& r, const QString& name,
                                  const AlpacaCommon::Done& done);

// ISO 8601 in UTC with milliseconds and its "Z", as ASCOM's dates are given.
QString alpacaDate(const QDateTime& utc);

} // namespace corvane
