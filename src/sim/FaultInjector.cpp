#include "sim/FaultInjector.h"

namespace corvane::sim {

FaultInjector::Outcome FaultInjector::apply(const QByteArray& reply) {
    ++m_count;
    Outcome out;
    out.bytes = reply;
    out.delayMs = m_options.delayMs + m_delayNext;
    m_delayNext = 0;
    if (m_dropNext || due(m_options.dropEvery, m_count)) {
        out.bytes.clear();
        out.fault = "dropped";
    } else if (m_truncateNext || due(m_options.truncateEvery, m_count)) {
        out.bytes = truncated(reply);
        out.fault = "truncated";
    } else if (m_garbleNext || due(m_options.garbleEvery, m_count)) {
        out.bytes = garbled(reply);
        out.fault = "garbled";
    }
    m_dropNext = m_truncateNext = m_garbleNext = false;
    out.vanishAfter = m_options.vanishAfter > 0 && m_count == m_options.vanishAfter;
    return out;
}

QByteArray FaultInjector::truncated(const QByteArray& reply) {
    return reply.left(reply.size() / 2);
}

QByteArray FaultInjector::garbled(const QByteArray& reply) {
    if (reply.isEmpty())
        return reply;
    QByteArray out = reply;
    const int i = static_cast<int>(out.size() / 2);
    // Flipping these bits never leaves the byte as it was.
    out[i] = static_cast<char>(out.at(i) ^ 0x5A);
    return out;
}

} // namespace corvane::sim
