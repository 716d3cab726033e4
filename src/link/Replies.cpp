#include "link/Replies.h"

namespace corvane {

QString printableReply(const QString& reply) {
    QString out;
    for (const QChar c : reply) {
        const ushort u = c.unicode();
        if (u >= 0x20 && u < 0x7F)
            out += c;
        else
            out += QStringLiteral("\\x") +
                   QStringLiteral("%1").arg(u & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

QString hexPairs(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes)
        out += QStringLiteral("%1 ").arg(static_cast<uchar>(c), 2, 16, QLatin1Char('0')).toUpper();
    return out;
}

} // namespace corvane
