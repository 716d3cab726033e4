#pragma once

#include "controller/ControllerInfo.h"
#include "link/Ports.h"
#include "link/Sequence.h"

#include <QObject>
#include <optional>

namespace corvane {

namespace test {
struct SessionAccess;
}
class AuxiliaryOutputs;
class BoardLine;
class Channel;
class Clock;
class ClockTimer;
class DriveConfiguration;
class Focuser;
class Guiding;
class MountPosition;
class PecModel;
class PositionPolling;
class Prompts;
class SerialPort;
class SessionLine;
class Target;
class TrafficLog;

// The mount as the program holds it: the line to the board and every model
// of its state, and the exchanges no single model owns: choosing a port,
// connecting and the greeting, what showing a page asks the board, polling,
// and the stop at the end. It is the only door to the line: the channel is
// its own, and every part that writes to the board (the models it hands out,
// the terminal, a backup, clients sharing the mount) asks its line(), which
// keeps exchanges in turn and lets stops through. Widget-free.
class MountSession : public QObject {
    Q_OBJECT
public:
    enum class Page { Settings, Guiding, Pec };

    // Takes ownership of the port.
    MountSession(SerialPort* port, Clock& clock, Prompts& prompts, QObject* parent = nullptr);
    ~MountSession() override;

    SerialPort& port() const { return *m_port; }
    // The door to the board (see BoardLine).
    BoardLine& line() const;
    Clock& clock() const { return m_clock; }
    Prompts& prompts() const { return m_prompts; }
    ControllerInfo& controller() { return m_controller; }
    MountPosition& position() const { return *m_position; }
    Target& target() const { return *m_target; }
    PositionPolling& polling() const { return *m_polling; }
    Guiding& guiding() const { return *m_guiding; }
    Focuser& focuser() const { return *m_focuser; }
    DriveConfiguration& configuration() const { return *m_configuration; }
    PecModel& pec() const { return *m_pec; }
    AuxiliaryOutputs& outputs() const { return *m_outputs; }
    TrafficLog& traffic() const { return *m_traffic; }

    // Start-up: which port numbers can be used (the adapters remembered from
    // last time keep their numbers), then the mount's start state: nothing
    // awaited, polling off, rate 2X, pulse mode off. The port stays closed.
    ProbeResult probe(const QMap<int, QString>& rememberedDevices);
    // The port numbers usable now: the system's devices looked for again (an
    // adapter plugged in since is listed) and probed. Only while the port is
    // closed; the number chosen stays.
    ProbeResult relistPorts();
    // The port numbers found usable by the last probe or listing, and those
    // bound to a network board since.
    const ProbeResult& usablePorts() const { return m_usable; }
    void addUsablePort(int portNumber);
    void startUp();
    // Shutdown: whatever runs is cancelled, the mount stopped ("#:Q#"), the
    // port closed.
    void shutDown();
    // The raw terminal's commands: the version and declination queries (read
    // as the pages read them), and a typed command whose reply is only
    // shown (none: the next reception is shown all the same); each waits its
    // turn behind what runs.
    void askVersion();
    void askDeclination();
    void sendManual(const std::optional<QString>& command);

    bool isOpen() const;
    int portNumber() const;
    ConnectionDisplay connectionDisplay() const;
    // Another port: while connected the connection moves there (and the
    // board there is greeted); a port that cannot be opened is said so and
    // the previous number stays.
    void choosePort(int portNumber);
    // Connect or disconnect. Disconnecting waits for a protected exchange.
    void toggleConnection();

    // What showing a page asks the board.
    void showPage(Page page);

    // Coming back by itself: once a line that was connected is lost, the same
    // adapter (by its identity) or network address is tried once a second and
    // reopened as soon as it is back; the board is greeted again and what ran
    // (position polling) goes on. A device path given on the command line is
    // reopened only for the device it led to when connecting; another one
    // there is said so and left alone. A bridge is connected to in the
    // background: the window never waits for it. Connect or Disconnect by the
    // user ends the waiting. On by default.
    void setReconnecting(bool on);
    bool isReconnecting() const { return m_reconnecting; }
    bool isWaitingForBoard() const { return !m_lostLine.isEmpty(); }
    // A network line whose replies stop for this long counts as lost (0: never).
    void setSilenceLimit(int seconds) { m_silenceLimitMs = seconds * 1000; }
    static constexpr int kReconnectIntervalMs = 1000;
    static constexpr int kReconnectOpenMs = 800;
    static constexpr int kDefaultSilenceSeconds = 10;
    // The version is asked again this often, a second apart, when the board
    // gives no version.
    static constexpr int kGreetingRetries = 3;
    static constexpr int kGreetingRetryMs = 1000;

signals:
    // Open or closed, the port number, the board's version: the status bar,
    // the connect entry and the terminal's Send follow it.
    void connectionChanged();
    // The user disconnected or the adapter vanished.
    void disconnected();
    // A message for the status bar's fourth panel.
    void status(const QString& text);
    // The lost line is open again and its board has answered the greeting.
    void reconnected();

private:
    // The tests' fixtures watch the channel itself.
    friend struct test::SessionAccess;
    void greet(int retriesLeft = kGreetingRetries);
    void greeted(int retriesLeft, SequenceResult result);
    void onLost();
    void tryReconnect();
    bool isLostDeviceBack();
    void lineOpened();
    void stopWaiting();
    void onTimedOut(const QString& queryName);
    void tell(const QString& text);

    Clock& m_clock;
    Prompts& m_prompts;
    SerialPort* m_port;
    Channel* m_channel;
    SessionLine* m_line;
    ControllerInfo m_controller;
    MountPosition* m_position;
    Target* m_target;
    PositionPolling* m_polling;
    Guiding* m_guiding;
    Focuser* m_focuser;
    DriveConfiguration* m_configuration;
    PecModel* m_pec;
    AuxiliaryOutputs* m_outputs;
    TrafficLog* m_traffic;
    ClockTimer* m_reconnectTimer;
    ClockTimer* m_greetingRetry;
    ProbeResult m_usable;
    bool m_reconnecting = true;
    // The line waited for since it was lost (empty when none).
    QString m_lostLine;
    int m_silenceLimitMs = kDefaultSilenceSeconds * 1000;
    qint64 m_silentSince = -1;
    // The exchange the line's loss cut short, to be named.
    QString m_cutShort;
    // The line last lost, until its board answers again.
    QString m_lineLost;
    // What stood behind the line when it was last opened, and when it was
    // lost (see SerialPort::presentIdentity()).
    QString m_openedDevice;
    QString m_lostDevice;
};

} // namespace corvane
