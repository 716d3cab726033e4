#include "share/ShareClient.h"

#include "common/Clock.h"
#include "controller/ControllerInfo.h"
#include "session/MountSession.h"
#include "share/Lx200Answers.h"
#include "share/Lx200Board.h"
#include "share/SharedMount.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace corvane {

namespace {

// What a request looks like in the sharing window: printable, short.
QString printable(const QByteArray& request) {
    QString out;
    for (const char c : request.left(32))
        out += (c >= 0x20 && c < 0x7F) ? QChar::fromLatin1(c) : QLatin1Char('?');
    return out;
}

// What a long exchange keeps off the board: motion, and the target queries,
// whose answers would come only after it, seconds late, when the client may
// have given up and taken them for the answer to its next request. Stops
// are no motion: they pass.
bool heldOffDuringLongExchange(Lx200Kind kind) {
    switch (kind) {
    case Lx200Kind::GetTargetRa:
    case Lx200Kind::GetTargetDec:
    case Lx200Kind::SetTargetRa:
    case Lx200Kind::SetTargetDec:
    case Lx200Kind::Goto:
    case Lx200Kind::Sync:
    case Lx200Kind::Move:
    case Lx200Kind::Pulse:
    case Lx200Kind::SetRate:
        return true;
    default:
        return false;
    }
}

// During a long exchange the board takes nothing from clients: a goto or a
// set target is refused in LX200's own words, the rest gets no answer.
std::optional<QByteArray> refusal(Lx200Kind kind) {
    switch (kind) {
    case Lx200Kind::Goto:
        return QByteArray("1Mount busy#");
    case Lx200Kind::SetTargetRa:
    case Lx200Kind::SetTargetDec:
        return QByteArray("0");
    case Lx200Kind::Sync:
        return QByteArray("Sync failed#");
    default:
        return std::nullopt;
    }
}

} // namespace

ShareClient::ShareClient(QTcpSocket* socket, Protocol protocol, SharedMount& mount,
                         SiteSettings& site, QObject* parent)
    : QObject(parent), m_socket(socket), m_asking(new QObject(this)), m_protocol(protocol),
      m_mount(mount), m_site(site) {
    m_socket->setParent(this);
    m_address = m_socket->peerAddress().toString() + QLatin1Char(':') +
                QString::number(m_socket->peerPort());
    // Qt holds no more than this of a client's input; the rest waits in the
    // system until it is read.
    m_socket->setReadBufferSize(4096);
    connect(m_socket, &QTcpSocket::readyRead, this, &ShareClient::onReadable);
    connect(m_socket, &QTcpSocket::disconnected, this, &ShareClient::close);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ShareClient::close);
    connect(&m_mount, &SharedMount::stopped, this, &ShareClient::dropWaiting);
}

ShareClient::~ShareClient() = default;

QString ShareClient::program() const {
    return m_protocol == Protocol::Lx200 ? QStringLiteral("LX200 client")
                                         : QStringLiteral("Stellarium");
}

void ShareClient::close() {
    if (m_closing)
        return;
    m_closing = true;
    dropWaiting();
    delete std::exchange(m_asking, nullptr);
    m_socket->disconnect(this);
    m_socket->abort();
    emit closed(this);
}

void ShareClient::onReadable() {
    while (!m_closing && m_socket->bytesAvailable() > 0) {
        const QByteArray bytes = m_socket->read(4096);
        if (m_protocol == Protocol::Lx200)
            takeLx200(bytes);
        else
            takeStellarium(bytes);
    }
}

void ShareClient::takeLx200(const QByteArray& bytes) {
    const Lx200Framer::Output out = m_lx200.feed(bytes);
    for (const QByteArray& request : out.requests)
        m_waiting.enqueue(request);
    // What can be answered at once is, before the queue is held to its
    // bound: only requests left waiting for the board count against it.
    handleNext();
    if (out.overflow || m_waiting.size() > kMostWaiting)
        close();
}

void ShareClient::takeStellarium(const QByteArray& bytes) {
    const StellariumFramer::Output out = m_stellarium.feed(bytes);
    for (const QByteArray& message : out.messages) {
        note("goto");
        const std::optional<SkyPosition> position = decodeStellariumGoto(message);
        const std::optional<BoardTarget> target =
            position ? boardTargetFrom(*position) : std::nullopt;
        if (target && !m_mount.isBusyWithLongExchange())
            m_goto = target;
    }
    startGoto();
    if (out.error)
        close();
}

void ShareClient::startGoto() {
    if (m_mount.isBusyWithLongExchange())
        m_goto.reset();
    if (m_busy || m_closing || !m_goto)
        return;
    m_busy = true;
    m_mount.gotoTarget(m_asking, label(), *std::exchange(m_goto, std::nullopt), [this] {
        m_busy = false;
        startGoto();
    });
}

void ShareClient::dropWaiting() {
    m_waiting.clear();
    m_goto.reset();
}

void ShareClient::note(const QByteArray& request) {
    m_lastCommand = printable(request);
    m_lastTime = m_mount.session().clock().utcNow();
    emit changed();
}

// One request at a time: the next is taken once this one is answered (at
// once when it needs nothing of the board).
void ShareClient::handleNext() {
    if (m_handling)
        return;
    m_handling = true;
    while (!m_busy && !m_closing && !m_waiting.isEmpty()) {
        const QByteArray request = m_waiting.dequeue();
        note(request);
        m_busy = true;
        handle(parseLx200Request(request));
    }
    m_handling = false;
}

void ShareClient::handle(const Lx200Request& request) {
    if (heldOffDuringLongExchange(request.kind) && m_mount.isBusyWithLongExchange()) {
        answered(refusal(request.kind));
        return;
    }
    switch (request.kind) {
    case Lx200Kind::GetRa:
    case Lx200Kind::GetDec:
        positionAnswer(request);
        return;
    case Lx200Kind::DistanceBars:
        // One bar while a goto is under way, none when it is over.
        m_mount.slewing(m_asking,
                        [this](bool slewing) { answered(QByteArray(slewing ? "\x7F#" : "#")); });
        return;
    case Lx200Kind::SetLatitude:
    case Lx200Kind::SetLongitude:
        if (applyToSite(request, m_site))
            emit siteChanged();
        break;
    default:
        break;
    }
    if (!boardCommand(request).isEmpty()) {
        m_mount.exchange(m_asking, label(), request,
                         [this, request](std::optional<QByteArray> reply) {
                             answered(clientAnswerFromBoard(request, reply));
                         });
        return;
    }
    MountSession& session = m_mount.session();
    const QByteArray local =
        localAnswer(request, m_site, session.clock().utcNow().toLocalTime(),
                    QString::number(session.controller().firmwareVersion(), 'f', 2));
    answered(local.isEmpty() ? std::nullopt : std::optional<QByteArray>(local));
}

void ShareClient::positionAnswer(const Lx200Request& request) {
    const bool ra = request.kind == Lx200Kind::GetRa;
    m_mount.position(m_asking, [this, ra](std::optional<SkyPosition> position,
                                          const QString& raText, const QString& decText) {
        answered(position ? std::optional<QByteArray>((ra ? raText : decText).toLatin1() + '#')
                          : std::nullopt);
    });
}

void ShareClient::answered(const std::optional<QByteArray>& answer) {
    if (answer)
        write(*answer);
    m_busy = false;
    handleNext();
}

// A client that does not read its answers is cut off before they pile up.
void ShareClient::write(const QByteArray& bytes) {
    if (m_closing)
        return;
    if (m_socket->bytesToWrite() + bytes.size() > kMostUnread) {
        close();
        return;
    }
    m_socket->write(bytes);
}

void ShareClient::sendPosition() {
    if (m_positionAsked || m_closing)
        return;
    m_positionAsked = true;
    m_mount.position(
        m_asking, [this](std::optional<SkyPosition> position, const QString&, const QString&) {
            m_positionAsked = false;
            if (position)
                write(encodeStellariumPosition(
                    *position, m_mount.session().clock().utcNow().toMSecsSinceEpoch() * 1000));
        });
}

} // namespace corvane
