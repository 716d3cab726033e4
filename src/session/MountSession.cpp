#include "session/MountSession.h"

#include "common/ClockTimer.h"
#include "common/Prompts.h"
#include "config/DriveConfiguration.h"
#include "controller/Commands.h"
#include "link/Channel.h"
#include "link/SerialPort.h"
#include "link/TrafficLog.h"
#include "motion/Focuser.h"
#include "motion/Guiding.h"
#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "motion/Target.h"
#include "pec/PecModel.h"
#include "periphery/AuxiliaryOutputs.h"
#include "session/SessionLine.h"

namespace corvane {

namespace {

// After opening: the board settles before the version query, and the query's
// reply is given a moment before the display is brought up to date.
constexpr int kOpenSettleMs = 100;
constexpr int kVersionSettleMs = 20;
constexpr int kPageSettleMs = 100;

// "#:GS#" (the sidereal time, nine characters) opens every page change; its
// answer is only let go, so that it is not read as the reply awaited last.
Query siderealTimeQuery() {
    return letGoQuery(QStringLiteral("sidereal time"), 9, QStringLiteral("#:GS#"));
}

} // namespace

MountSession::MountSession(SerialPort* port, Clock& clock, Prompts& prompts, QObject* parent)
    : QObject(parent), m_clock(clock), m_prompts(prompts), m_port(port),
      m_channel(new Channel(clock, this)), m_line(new SessionLine(*m_channel, this)),
      m_position(new MountPosition(clock, this)), m_target(new Target(*m_line, *m_position, this)),
      m_polling(new PositionPolling(*m_line, clock, *m_position, *m_target, this)),
      m_guiding(new Guiding(*m_line, clock, prompts, *m_polling, this)),
      m_focuser(new Focuser(*m_line, clock, prompts, this)),
      m_configuration(new DriveConfiguration(*m_line, m_controller, prompts, this)),
      m_pec(new PecModel(*m_line, m_controller, prompts, this)),
      m_outputs(new AuxiliaryOutputs(*m_line, this)), m_traffic(new TrafficLog(*m_channel, this)),
      m_reconnectTimer(new ClockTimer(clock, QStringLiteral("ReconnectTimer"), this)),
      m_greetingRetry(new ClockTimer(clock, QStringLiteral("GreetingRetry"), this)) {
    setObjectName(QStringLiteral("MountSession"));
    m_port->setParent(this);
    m_channel->setPort(m_port);

    m_polling->setGotoSpeed([this] { return m_configuration->gotoSpeed(); });
    connect(m_configuration, &DriveConfiguration::rateCaptionRead, m_guiding,
            &Guiding::setRateCaption);
    connect(&m_controller, &ControllerInfo::changed, this, [this] {
        m_guiding->setTarvixAvailable(m_controller.version().tarvixEnabled);
        emit connectionChanged();
    });
    connect(m_channel, &Channel::receptionHandled, this, &MountSession::connectionChanged);
    connect(m_channel, &Channel::lost, this, &MountSession::onLost);
    connect(m_channel, &Channel::timedOut, this, &MountSession::onTimedOut);
    connect(m_channel, &Channel::receptionHandled, this, [this] { m_silentSince = -1; });
    // An exchange the line's loss cut short is named.
    connect(&m_channel->runner(), &SequenceRunner::finished, this,
            [this](const QString& name, SequenceResult result) {
                if (result == SequenceResult::PortLost && !name.isEmpty())
                    m_cutShort = name;
            });
    m_reconnectTimer->setInterval(kReconnectIntervalMs);
    connect(m_reconnectTimer, &ClockTimer::timeout, this, &MountSession::tryReconnect);
    connect(m_port, &SerialPort::openable, this, &MountSession::tryReconnect, Qt::QueuedConnection);
    connect(this, &MountSession::reconnected, m_pec, &PecModel::offerRestoreAgain);
    m_greetingRetry->setSingleShot(true);
    m_greetingRetry->setInterval(kGreetingRetryMs);
    connect(m_position, &MountPosition::badReply, this, &MountSession::status);
    connect(m_target, &Target::badReply, this, &MountSession::status);
    connect(m_polling, &PositionPolling::estimated, this, &MountSession::status);
}

MountSession::~MountSession() = default;

bool MountSession::isOpen() const {
    return m_channel->isOpen();
}

BoardLine& MountSession::line() const {
    return *m_line;
}

void MountSession::askVersion() {
    m_line->run(Sequence(QStringLiteral("version query"))
                    .request(versionQuery(), m_controller.versionReply()));
}

void MountSession::askDeclination() {
    m_line->run(Sequence(QStringLiteral("declination query"))
                    .request(declinationQuery(), m_position->declinationReply()));
}

// Waits its turn behind an exchange that is running, so a typed command never
// cuts into one.
void MountSession::sendManual(const std::optional<QString>& command) {
    Sequence s(QStringLiteral("manual command"));
    s.then([this] { m_channel->expectManualCommand(); });
    if (command)
        s.send(*command);
    m_line->run(std::move(s));
}

void MountSession::tell(const QString& text) {
    m_prompts.message(text, applicationTitle(), PromptIcon::None, PromptButtons::Ok);
}

ProbeResult MountSession::probe(const QMap<int, QString>& rememberedDevices) {
    m_port->rememberDevices(rememberedDevices);
    m_usable = probePorts(*m_port);
    return m_usable;
}

ProbeResult MountSession::relistPorts() {
    if (m_port->isOpen())
        return {};
    const int chosen = m_port->portNumber();
    m_port->rescan();
    m_usable = probePorts(*m_port);
    m_port->setPortNumber(chosen);
    return m_usable;
}

void MountSession::addUsablePort(int portNumber) {
    if (portNumber < 1 || portNumber >= m_usable.usable.size())
        return;
    m_usable.usable[portNumber] = true;
    m_usable.anyUsable = true;
}

void MountSession::startUp() {
    if (m_port->isOpen())
        m_port->close();
    m_polling->switchOff(); // polling is switched on by the user only
    m_guiding->reset();
}

void MountSession::shutDown() {
    m_channel->runner().abort(SequenceResult::Cancelled);
    if (m_port->isOpen()) {
        m_channel->send(QLatin1String(kStopAllCommand));
        m_port->close();
    }
}

int MountSession::portNumber() const {
    return m_port->portNumber();
}

ConnectionDisplay MountSession::connectionDisplay() const {
    return corvane::connectionDisplay(m_port->isOpen(), m_controller.firmwareVersion(),
                                      m_port->portNumber(), m_port->settingsText());
}

void MountSession::choosePort(int portNumber) {
    stopWaiting();
    const int previous = m_port->portNumber();
    if (m_port->isOpen()) {
        m_channel->runner().abort(SequenceResult::Cancelled);
        m_port->close();
        m_port->setPortNumber(portNumber);
        QString error;
        if (!m_port->open(&error)) {
            tell(portUnavailableMessage(portNumber, error));
            m_port->setPortNumber(previous);
        } else {
            lineOpened();
            greet();
        }
    } else {
        m_port->setPortNumber(portNumber);
    }
    emit connectionChanged();
}

void MountSession::toggleConnection() {
    stopWaiting();
    m_channel->setAwaitedCount(1);
    if (m_port->isOpen()) {
        if (m_channel->runner().isRunningProtected()) {
            m_prompts.message(QStringLiteral("Please wait: the ") +
                                  m_channel->runner().runningName() +
                                  QStringLiteral(" must finish before the port is closed."),
                              applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
            return;
        }
        m_channel->runner().abort(SequenceResult::Cancelled);
        m_port->close();
        m_configuration->connectionToggled(false);
        emit disconnected();
        emit connectionChanged();
        return;
    }
    QString error;
    if (!m_port->open(&error))
        tell(portUnavailableMessage(m_port->portNumber(), error));
    else
        lineOpened();
    greet();
}

void MountSession::lineOpened() {
    m_openedDevice = m_port->presentIdentity();
}

// Whatever answered on the last port may not be the board on this one: until
// this one answers, the program claims no controller and offers no feature of
// one. (Disconnecting alone keeps what the last controller said.) One reply
// dropped or garbled must not leave a live board unrecognised: without a
// version the question is asked again, a second apart, a few times.
void MountSession::greet(int retriesLeft) {
    m_greetingRetry->stop();
    if (retriesLeft == kGreetingRetries && m_port->isOpen())
        m_controller.forget();
    m_channel->run(Sequence(QStringLiteral("connection"))
                       .pause(kOpenSettleMs)
                       .request(versionQuery(), m_controller.versionReply())
                       .pause(kVersionSettleMs)
                       .then([this] {
                           m_configuration->connectionToggled(true);
                           emit connectionChanged();
                       }));
    // Its turn comes once the line is free: the reply is in, or its wait is over.
    m_channel->run(
        Sequence(QStringLiteral("connection")).onEnd([this, retriesLeft](SequenceResult r) {
            greeted(retriesLeft, r);
        }));
}

void MountSession::greeted(int retriesLeft, SequenceResult result) {
    const bool answered = m_controller.firmwareVersion() > 0.0f;
    // The board of the line lost before is back (by itself or by Connect).
    if (answered && !m_lineLost.isEmpty() && m_port->lineIdentity() == m_lineLost) {
        m_lineLost.clear();
        emit reconnected();
    }
    if (answered || retriesLeft <= 0 || !m_port->isOpen() || result != SequenceResult::Done)
        return;
    m_greetingRetry->disconnect(this);
    connect(m_greetingRetry, &ClockTimer::timeout, this,
            [this, retriesLeft] { greet(retriesLeft - 1); });
    m_greetingRetry->start();
}

// The adapter vanished: the port is already closed. The page is left as a
// disconnect leaves it; no message box to click away. The same line is then
// waited for.
void MountSession::onLost() {
    m_greetingRetry->stop();
    m_configuration->connectionToggled(false);
    emit disconnected();
    emit connectionChanged();
    m_lineLost = m_port->lineIdentity();
    m_lostDevice = m_openedDevice;
    const QString cut = std::exchange(m_cutShort, QString());
    const QString cutNote =
        cut.isEmpty() ? QString() : QStringLiteral(" (the %1 was cut short)").arg(cut);
    m_lostLine = m_reconnecting ? m_port->lineIdentity() : QString();
    if (m_lostLine.isEmpty()) {
        if (!cut.isEmpty())
            emit status(QStringLiteral("The line was lost") + cutNote);
        return;
    }
    emit status(QStringLiteral("Waiting for the board on %1 since %2%3")
                    .arg(m_lostLine,
                         m_clock.utcNow().toLocalTime().toString(QStringLiteral("HH:mm:ss")),
                         cutNote));
    m_reconnectTimer->start();
}

void MountSession::setReconnecting(bool on) {
    m_reconnecting = on;
    if (!on)
        stopWaiting();
}

void MountSession::stopWaiting() {
    m_reconnectTimer->stop();
    // A bridge still being connected to in the background is let go.
    if (!m_lostLine.isEmpty() && !m_port->isOpen())
        m_port->close();
    m_lostLine.clear();
}

// Only the line that was lost is ever opened again: the adapter with the same
// identity (wherever the system put it now), the same network address, or the
// very device a path led to.
void MountSession::tryReconnect() {
    if (m_lostLine.isEmpty() || m_port->isOpen()) {
        stopWaiting();
        return;
    }
    m_port->rescan();
    if (m_port->lineIdentity() != m_lostLine || !isLostDeviceBack())
        return;
    m_port->setOpenTimeout(kReconnectOpenMs);
    QString error;
    const bool opened = m_port->openWithoutWaiting(&error);
    m_port->setOpenTimeout(0);
    if (!opened)
        return;
    lineOpened();
    stopWaiting();
    greet();
    emit status(QStringLiteral("Reconnected at ") +
                m_clock.utcNow().toLocalTime().toString(QStringLiteral("HH:mm:ss")));
    emit connectionChanged();
}

// The path of the lost line leads to the device it led to before: not to
// nothing, nor to another device given the same name since.
bool MountSession::isLostDeviceBack() {
    const QString present = m_port->presentIdentity();
    if (present.isEmpty() || present == m_lostDevice)
        return !present.isEmpty();
    emit status(QStringLiteral("Another device is on %1 now: it is not opened in the board's "
                               "place")
                    .arg(m_lostLine));
    return false;
}

// A network line whose replies have stopped for long enough is taken for
// lost, as a vanished adapter is: a bridge that lost power may never close
// the connection.
void MountSession::onTimedOut(const QString& queryName) {
    emit status(noReplyMessage(queryName));
    const qint64 now = m_clock.nowMs();
    if (m_silentSince < 0)
        m_silentSince = now;
    const bool network = m_port->lineIdentity().startsWith(QLatin1String("tcp://"));
    if (network && m_silenceLimitMs > 0 && now - m_silentSince >= m_silenceLimitMs &&
        m_port->isOpen()) {
        m_silentSince = -1;
        m_port->close();
        m_channel->runner().abort(SequenceResult::PortLost);
        onLost();
    }
}

void MountSession::showPage(Page page) {
    m_polling->setGuidingPageShown(page == Page::Guiding);
    Sequence change(QStringLiteral("tab change"));
    change.request(siderealTimeQuery()).pause(kPageSettleMs);
    switch (page) {
    case Page::Settings:
        change.then([this] { m_configuration->pageShown(); });
        break;
    case Page::Guiding:
        change.request(positionQuery(), m_position->positionReply());
        break;
    case Page::Pec:
        change.then([this] { m_pec->queryState(); });
        break;
    }
    m_channel->run(std::move(change));
}

} // namespace corvane
