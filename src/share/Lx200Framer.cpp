#include "share/Lx200Framer.h"

namespace corvane {

namespace {
constexpr char kAck = '\x06';
}

Lx200Framer::Output Lx200Framer::feed(const QByteArray& bytes) {
    Output out;
    for (const char byte : bytes) {
        if (m_overflow)
            break;
        if (++m_sinceLastRequest > kLongestRequest) {
            m_overflow = true;
            m_command.clear();
            m_command.squeeze();
            break;
        }
        if (!m_command.isEmpty()) {
            m_command += byte;
            if (byte != '#')
                continue;
            out.requests.append(m_command);
            m_command.clear();
            m_sinceLastRequest = 0;
        } else if (byte == ':') {
            m_command = QByteArray(1, byte);
        } else if (byte == kAck) {
            out.requests.append(QByteArray(1, byte));
            m_sinceLastRequest = 0;
        }
    }
    out.overflow = m_overflow;
    return out;
}

} // namespace corvane
