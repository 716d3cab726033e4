#include "sim/SimLine.h"

#include <algorithm>

namespace corvane::sim {

namespace {

BoardConfig boardConfig(const SimOptions& options, qint64 utcMsAtZero) {
    BoardConfig c;
    c.firmware = options.firmware;
    c.acknowledgeSettings = options.acknowledgeSettings;
    c.speedup = options.speedup;
    c.utcMsAtStart = utcMsAtZero;
    return c;
}

} // namespace

SimLine::SimLine(const SimOptions& options, qint64 utcMsAtZero)
    : m_board(boardConfig(options, utcMsAtZero)), m_faults(options.faults),
      m_charUs(options.pacing ? kCharUs : 0) {}

void SimLine::hostWrite(const QByteArray& bytes, qint64 nowUs) {
    if (bytes.isEmpty())
        return;
    log(nowUs, '>', bytes);
    qint64 t = std::max(nowUs, m_inboundFreeUs);
    for (const char c : bytes) {
        t += m_charUs;
        if (auto command = m_tokenizer.feed(c)) {
            const QByteArray answer = m_board.execute(*command, t / 1000);
            if (!answer.isEmpty())
                reply(answer, t);
        }
    }
    m_inboundFreeUs = t;
}

void SimLine::reply(const QByteArray& bytes, qint64 readyUs) {
    const FaultInjector::Outcome out = m_faults.apply(bytes);
    if (out.fault)
        log(readyUs, '!', QByteArray(out.fault) + ' ' + bytes);
    qint64 t = std::max(readyUs + out.delayMs * 1000LL, m_outboundFreeUs);
    for (const char c : out.bytes) {
        t += m_charUs;
        m_pending.push_back({t, c});
    }
    if (!out.bytes.isEmpty()) {
        m_outboundFreeUs = t;
        log(t - m_charUs * out.bytes.size(), '<', out.bytes);
    }
    if (out.vanishAfter)
        m_vanishAtUs = t + kVanishGraceUs;
}

QByteArray SimLine::takeDue(qint64 nowUs) {
    QByteArray out;
    while (!m_pending.empty() && m_pending.front().dueUs <= nowUs) {
        out += m_pending.front().byte;
        m_pending.pop_front();
    }
    return out;
}

qint64 SimLine::dueTimeOf(int n) const {
    if (n < 1 || n > static_cast<int>(m_pending.size()))
        return -1;
    return m_pending[static_cast<size_t>(n - 1)].dueUs;
}

void SimLine::log(qint64 us, char direction, const QByteArray& bytes) const {
    if (m_log)
        m_log(us, direction, bytes);
}

} // namespace corvane::sim
