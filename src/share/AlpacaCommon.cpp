#include "share/AlpacaCommon.h"

#include "common/ClockTimer.h"
#include "link/BoardLine.h"
#include "session/MountSession.h"
#include "share/Lx200Board.h"
#include "share/SharedMount.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

namespace corvane {

namespace {

// The longest a greeting can last: every retry and its reply's wait.
constexpr int kGreetingLimitMs =
    (MountSession::kGreetingRetries + 1) * (MountSession::kGreetingRetryMs + 2000);

const char* const kDriverVersion = "1.0";

std::optional<QString> parameter(const AlpacaRequest& r, const QString& name,
                                 const AlpacaCommon::Done& done) {
    if (!r.has(name)) {
        done(AlpacaReply::bad(QStringLiteral("The parameter %1 is missing.").arg(name)));
        return std::nullopt;
    }
    return r.value(name).trimmed();
}

void unreadable(const QString& name, const QString& what, const AlpacaCommon::Done& done) {
    done(AlpacaReply::bad(QStringLiteral("The parameter %1 is not %2.").arg(name, what)));
}

} // namespace

std::optional<double> numberParameter(const AlpacaRequest& r, const QString& name,
                                      const AlpacaCommon::Done& done) {
    const std::optional<QString> text = parameter(r, name, done);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(*text, &ok);
    if (!ok || !std::isfinite(value)) {
        unreadable(name, QStringLiteral("a number"), done);
        return std::nullopt;
    }
    return value;
}

std::optional<int> intParameter(const AlpacaRequest& r, const QString& name,
                                const AlpacaCommon::Done& done) {
    const std::optional<QString> text = parameter(r, name, done);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = QLocale::c().toInt(*text, &ok);
    if (!ok) {
        unreadable(name, QStringLiteral("a whole number"), done);
        return std::nullopt;
    }
    return value;
}

std::optional<bool> boolParameter(const AlpacaRequest& r, const QString& name,
                                  const AlpacaCommon::Done& done) {
    const std::optional<QString> text = parameter(r, name, done);
    if (!text)
        return std::nullopt;
    if (text->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text->compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    unreadable(name, QStringLiteral("True or False"), done);
    return std::nullopt;
}

QString alpacaDate(const QDateTime& utc) {
    return utc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

AlpacaCommon::AlpacaCommon(SharedMount& mount, QObject* parent)
    : QObject(parent), m_mount(mount),
      m_greetingLimit(
          new ClockTimer(mount.session().clock(), QStringLiteral("alpacaGreetingLimit"), this)) {
    m_greetingLimit->setSingleShot(true);
    m_greetingLimit->setInterval(kGreetingLimitMs);
    connect(m_greetingLimit, &ClockTimer::timeout, this, &AlpacaCommon::greetingEnded);
    connect(&session(), &MountSession::connectionChanged, this, [this] {
        if (!m_connecting)
            return;
        if (!session().isOpen() || session().controller().firmwareVersion() > 0.0f ||
            --m_greetingsLeft <= 0)
            greetingEnded();
    });
    addCommonMembers();
}

MountSession& AlpacaCommon::session() const {
    return m_mount.session();
}

bool AlpacaCommon::isConnected() const {
    return !m_disconnected && session().isOpen() && session().controller().firmwareVersion() > 0.0f;
}

QString AlpacaCommon::who(const AlpacaRequest& request) {
    if (request.clientId != 0)
        return QStringLiteral("Alpaca client %1").arg(request.clientId);
    return QStringLiteral("Alpaca client at ") + request.peer.toString();
}

void AlpacaCommon::onGet(const QString& member, Needs needs, Handler handler) {
    m_gets.insert(member, {needs, std::move(handler)});
}

void AlpacaCommon::onPut(const QString& member, Needs needs, Handler handler) {
    m_puts.insert(member, {needs, std::move(handler)});
}

void AlpacaCommon::constant(const QString& member, const QJsonValue& value) {
    onGet(member, Needs::Nothing,
          [value](const AlpacaRequest&, const Done& done) { done(AlpacaReply::ok(value)); });
}

void AlpacaCommon::notImplemented(const QString& member, bool get, bool put) {
    const Handler refuse = [member](const AlpacaRequest&, const Done& done) {
        done(AlpacaReply::error(kAlpacaNotImplemented,
                                QStringLiteral("%1 is not available on this mount.").arg(member)));
    };
    if (get)
        onGet(member, Needs::Nothing, refuse);
    if (put)
        onPut(member, Needs::Nothing, refuse);
}

void AlpacaCommon::handle(const AlpacaRequest& request, Done done) {
    const bool get = request.verb == AlpacaRequest::Verb::Get;
    const auto found = (get ? m_gets : m_puts).constFind(request.member);
    if (found == (get ? m_gets : m_puts).constEnd()) {
        if ((get ? m_puts : m_gets).contains(request.member))
            return done(AlpacaReply::bad(QStringLiteral("%1 is not to be used with %2.")
                                             .arg(request.member, get ? "GET" : "PUT")));
        return done(AlpacaReply::bad(
            QStringLiteral("%1 has no member %2.").arg(deviceType(), request.member)));
    }
    if (const std::optional<AlpacaReply> refused = refusal(found->needs))
        return done(*refused);
    found->handler(request, done);
}

std::optional<AlpacaReply> AlpacaCommon::refusal(Needs needs) const {
    if (needs == Needs::Nothing)
        return std::nullopt;
    if (!isConnected())
        return AlpacaReply::error(
            kAlpacaNotConnected,
            QStringLiteral("The %1 is not connected (Connect first).").arg(deviceType().toLower()));
    if (needs == Needs::Motion && m_mount.isBusyWithLongExchange())
        return AlpacaReply::error(
            kAlpacaInvalidOperation,
            QStringLiteral("The mount is busy with the %1; only stops are taken until it ends.")
                .arg(session().line().runningName()));
    return std::nullopt;
}

void AlpacaCommon::exchange(const AlpacaRequest& request, const Lx200Request& board,
                            std::function<void(std::optional<QByteArray>)> reply) {
    m_mount.exchange(this, who(request), board, std::move(reply));
}

void AlpacaCommon::interjectStop(const AlpacaRequest& request, const Lx200Request& stop) {
    session().line().stop(boardCommand(stop), who(request) + QStringLiteral("'s stop"));
}

void AlpacaCommon::addCommonMembers() {
    const auto ok = [](QJsonValue v) { return AlpacaReply::ok(std::move(v)); };
    onGet(QStringLiteral("connected"), Needs::Nothing,
          [this, ok](const AlpacaRequest&, const Done& done) { done(ok(isConnected())); });
    onGet(QStringLiteral("connecting"), Needs::Nothing,
          [this, ok](const AlpacaRequest&, const Done& done) { done(ok(m_connecting)); });
    onPut(QStringLiteral("connected"), Needs::Nothing,
          [this](const AlpacaRequest& r, const Done& done) {
              const std::optional<bool> on = boolParameter(r, QStringLiteral("connected"), done);
              if (on && *on)
                  connectBoard(done, true);
              else if (on) {
                  m_disconnected = true;
                  done(AlpacaReply::ok());
              }
          });
    onPut(QStringLiteral("connect"), Needs::Nothing,
          [this](const AlpacaRequest&, const Done& done) { connectBoard(done, false); });
    onPut(QStringLiteral("disconnect"), Needs::Nothing,
          [this](const AlpacaRequest&, const Done& done) {
              m_disconnected = true;
              done(AlpacaReply::ok());
          });
    onGet(QStringLiteral("description"), Needs::Nothing,
          [this, ok](const AlpacaRequest&, const Done& done) { done(ok(description())); });
    onGet(QStringLiteral("name"), Needs::Nothing,
          [this, ok](const AlpacaRequest&, const Done& done) { done(ok(name())); });
    constant(QStringLiteral("driverinfo"),
             QStringLiteral("Corvane Control: the mount on the Corvane controller board, shared "
                            "with ASCOM programs."));
    constant(QStringLiteral("driverversion"), QLatin1String(kDriverVersion));
    constant(QStringLiteral("interfaceversion"), kInterfaceVersion);
    constant(QStringLiteral("supportedactions"), QJsonArray());
    onGet(QStringLiteral("devicestate"), Needs::Board,
          [this](const AlpacaRequest&, const Done& done) { deviceState(done); });
    onPut(QStringLiteral("action"), Needs::Nothing, [](const AlpacaRequest&, const Done& done) {
        done(AlpacaReply::error(kAlpacaActionNotImplemented,
                                QStringLiteral("This device has no actions.")));
    });
    // Raw commands would bypass every check on what reaches the board.
    for (const char* raw : {"commandblind", "commandbool", "commandstring"})
        onPut(QLatin1String(raw), Needs::Nothing, [](const AlpacaRequest&, const Done& done) {
            done(AlpacaReply::error(kAlpacaNotImplemented,
                                    QStringLiteral("Commands are not passed to the board.")));
        });
}

// Connect: the port opened when closed (the window shows it) and the
// greeting waited for; an open port needs no more than the mark cleared.
void AlpacaCommon::connectBoard(const Done& done, bool answerWhenGreeted) {
    m_disconnected = false;
    const bool open = session().isOpen();
    // Open but not answered yet: the greeting under way is waited for.
    if ((!open || !isConnected()) && !m_connecting) {
        m_connecting = true;
        m_greetingsLeft = MountSession::kGreetingRetries + 1;
        m_greetingLimit->start();
    }
    if (!open) {
        QString said;
        const QMetaObject::Connection listen = connect(
            &session(), &MountSession::status, this, [&said](const QString& text) { said = text; });
        session().toggleConnection();
        disconnect(listen);
        if (!session().isOpen()) {
            greetingEnded();
            return done(AlpacaReply::error(
                kAlpacaDriverError,
                said.isEmpty() ? QStringLiteral("The port could not be opened.") : said));
        }
    }
    if (answerWhenGreeted && m_connecting)
        return m_awaitingGreeting.append(done);
    if (answerWhenGreeted && !isConnected())
        return done(
            AlpacaReply::error(kAlpacaNotConnected, QStringLiteral("The board has not answered.")));
    done(AlpacaReply::ok());
}

void AlpacaCommon::greetingEnded() {
    m_connecting = false;
    m_greetingLimit->stop();
    const QList<Done> waiting = std::exchange(m_awaitingGreeting, {});
    for (const Done& done : waiting)
        done(isConnected() ? AlpacaReply::ok()
                           : AlpacaReply::error(kAlpacaNotConnected,
                                                QStringLiteral("The board did not answer.")));
}

} // namespace corvane
