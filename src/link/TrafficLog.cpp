#include "link/TrafficLog.h"

#include "link/Channel.h"
#include "link/Replies.h"

namespace corvane {

TrafficLog::TrafficLog(Channel& channel, QObject* parent) : QObject(parent), m_channel(channel) {
    connect(&m_channel, &Channel::written, this,
            [this](const QByteArray& bytes) { add(true, bytes); });
    connect(&m_channel, &Channel::received, this,
            [this](const QByteArray& bytes, ReplyForm) { add(false, bytes); });
}

void TrafficLog::clear() {
    m_entries.clear();
}

// A write while a reply is collected from several answers (a stop during a
// table read-out) is not what that reply answers.
void TrafficLog::add(bool written, const QByteArray& bytes) {
    QString cause = m_replyCause;
    if (written) {
        cause = m_channel.runner().writer();
        if (cause.isEmpty())
            cause = QStringLiteral("window");
        if (!m_channel.isCollecting())
            m_replyCause = cause;
    } else if (cause.isEmpty()) {
        cause = QStringLiteral("window");
    }
    Entry entry{m_channel.clock().nowMs(), written, cause, bytes};
    m_entries.push_back(entry);
    while (m_entries.size() > kKeptEntries)
        m_entries.pop_front();
    writeToFile(entry);
    emit added(entry);
}

QString TrafficLog::line(const Entry& e, bool hex) {
    const QString bytes =
        hex ? hexPairs(e.bytes).trimmed() : printableReply(QString::fromLatin1(e.bytes));
    return QStringLiteral("%1.%2 %3 %4: %5")
        .arg(e.ms / 1000, 8)
        .arg(e.ms % 1000, 3, 10, QLatin1Char('0'))
        .arg(e.written ? QLatin1Char('>') : QLatin1Char('<'))
        .arg(e.cause, bytes);
}

bool TrafficLog::logTo(const QString& path, QString* why) {
    m_file.close();
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return true;
    if (why)
        *why =
            QStringLiteral("the log \"%1\" cannot be written: %2").arg(path, m_file.errorString());
    return false;
}

// A full disk or a removed folder never stops the program: the log is said
// lost once, and closed.
void TrafficLog::writeToFile(const Entry& entry) {
    if (!m_file.isOpen())
        return;
    const QByteArray text = line(entry, false).toUtf8() + '\n';
    if (m_file.write(text) != text.size() || !m_file.flush()) {
        const QString why = QStringLiteral("the log \"%1\" could not be written (%2); it is no "
                                           "longer written")
                                .arg(m_file.fileName(), m_file.errorString());
        m_file.close();
        emit logFailed(why);
    }
}

} // namespace corvane
