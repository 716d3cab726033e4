#include "sim/SimLog.h"

namespace corvane::sim {

bool SimLog::open(const QString& path, QString* error) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error)
            *error = QStringLiteral("Cannot write the log %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void SimLog::write(qint64 us, char direction, const QByteArray& bytes) {
    if (m_file.isOpen())
        m_file.write(line(us, direction, bytes));
}

QByteArray SimLog::escaped(const QByteArray& bytes) {
    QByteArray out;
    for (const char c : bytes) {
        const auto u = static_cast<uchar>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        }
    }
    return out;
}

QByteArray SimLog::line(qint64 us, char direction, const QByteArray& bytes) {
    const QByteArray seconds = QByteArray::number(static_cast<double>(us) / 1e6, 'f', 6);
    return seconds.rightJustified(14, ' ') + ' ' + direction + ' ' + escaped(bytes) + '\n';
}

} // namespace corvane::sim
