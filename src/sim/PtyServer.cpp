#include "sim/PtyServer.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace corvane::sim {

namespace {
// Bytes held back while the client does not read, before the oldest go.
constexpr int kMaxUnsent = 65536;
} // namespace

PtyServer::PtyServer(SimLine& line, QObject* parent) : LineServer(line, parent) {}

PtyServer::~PtyServer() {
    shutDown();
}

#ifdef Q_OS_UNIX

bool PtyServer::open(QString* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                  QString::fromLocal8Bit(std::strerror(errno)));
        shutDown();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_path = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    // Hold the slave open: the line then survives clients closing it, and its
    // settings (raw, 9600 8N1) are in place before the first client comes.
    m_keeper = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_keeper < 0)
        return fail("open slave");
    termios t{};
    if (::tcgetattr(m_keeper, &t) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    t.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(m_keeper, TCSANOW, &t) != 0)
        return fail("tcsetattr");
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyServer::onReadable);
    return true;
}

void PtyServer::onReadable() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            line().hostWrite(QByteArray(buffer, static_cast<int>(n)), nowUs());
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            // The line hung up (no slave open): look again a little later
            // instead of spinning on a device that stays "readable".
            m_notifier->setEnabled(false);
            QTimer::singleShot(50, this, [this] {
                if (m_notifier)
                    m_notifier->setEnabled(true);
            });
        }
        break;
    }
    onTick();
}

void PtyServer::flushUnsent() {
    while (!m_unsent.isEmpty()) {
        const ssize_t n =
            ::write(m_master, m_unsent.constData(), static_cast<size_t>(m_unsent.size()));
        if (n <= 0)
            break;
        m_unsent.remove(0, static_cast<int>(n));
    }
    if (m_unsent.size() > kMaxUnsent)
        m_unsent.remove(0, static_cast<int>(m_unsent.size()) - kMaxUnsent);
}

void PtyServer::shutDown() {
    stopTicking();
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_keeper >= 0)
        ::close(m_keeper);
    if (m_master >= 0)
        ::close(m_master);
    m_keeper = m_master = -1;
}

#else

bool PtyServer::open(QString* error) {
    if (error)
        *error = QStringLiteral("Pseudo-terminals need a POSIX system.");
    return false;
}
void PtyServer::onReadable() {}
void PtyServer::flushUnsent() {
    m_unsent.clear();
}
void PtyServer::shutDown() {
    stopTicking();
}

#endif

void PtyServer::deliver(const QByteArray& bytes) {
    m_unsent += bytes;
    flushUnsent();
}

} // namespace corvane::sim
