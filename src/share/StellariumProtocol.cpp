#include "share/StellariumProtocol.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr double kRaUnitsPerDay = 4294967296.0;      // 0x100000000
constexpr double kDecUnitsPerQuarter = 1073741824.0; // 0x40000000
constexpr qint64 kDecPole = 0x40000000;

quint16 word(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

bool StellariumFramer::headerIsSound() const {
    const int length = word(m_message, 0);
    return length >= Stellarium::kHeaderLength && length <= Stellarium::kLongestMessage &&
           word(m_message, 2) == 0;
}

StellariumFramer::Output StellariumFramer::feed(const QByteArray& bytes) {
    Output out;
    int at = 0;
    while (!m_failed && at < bytes.size()) {
        // Read up to the length and type first, then up to the whole message.
        const int wanted = m_message.size() < 4 ? 4 : word(m_message, 0);
        const int take = std::min<int>(wanted - m_message.size(), bytes.size() - at);
        m_message += bytes.mid(at, take);
        at += take;
        if (m_message.size() == 4 && !headerIsSound()) {
            m_failed = true;
            m_message.clear();
        } else if (m_message.size() > 4 && m_message.size() == word(m_message, 0)) {
            out.messages.append(m_message);
            m_message.clear();
        }
    }
    out.error = m_failed;
    return out;
}

std::optional<SkyPosition> decodeStellariumGoto(const QByteArray& message) {
    if (message.size() != Stellarium::kGotoLength || word(message, 0) != message.size() ||
        word(message, 2) != 0)
        return std::nullopt;
    const quint32 ra = qFromLittleEndian<quint32>(message.constData() + 12);
    const qint32 dec = qFromLittleEndian<qint32>(message.constData() + 16);
    if (std::abs(static_cast<qint64>(dec)) > kDecPole)
        return std::nullopt;
    return SkyPosition{ra * 24.0 / kRaUnitsPerDay, dec * 90.0 / kDecUnitsPerQuarter};
}

std::optional<BoardTarget> boardTargetFrom(const SkyPosition& position) {
    const auto ra = boardRaFromHours(position.raHours);
    const auto dec = boardDecFromDegrees(position.decDegrees);
    if (!ra || !dec)
        return std::nullopt;
    return BoardTarget{*ra, *dec};
}

QByteArray encodeStellariumPosition(const SkyPosition& position, qint64 timeMicroseconds,
                                    qint32 status) {
    const double hours = std::isfinite(position.raHours) ? position.raHours : 0.0;
    const double degrees = std::isfinite(position.decDegrees) ? position.decDegrees : 0.0;
    double day = std::fmod(hours / 24.0, 1.0);
    if (day < 0.0)
        day += 1.0;
    const quint32 ra =
        static_cast<quint32>(static_cast<quint64>(std::llround(day * kRaUnitsPerDay)));
    const qint32 dec = static_cast<qint32>(std::clamp<qint64>(
        std::llround(degrees / 90.0 * kDecUnitsPerQuarter), -kDecPole, kDecPole));

    QByteArray out(Stellarium::kPositionLength, '\0');
    char* p = out.data();
    qToLittleEndian<quint16>(Stellarium::kPositionLength, p);
    qToLittleEndian<quint16>(0, p + 2);
    qToLittleEndian<qint64>(timeMicroseconds, p + 4);
    qToLittleEndian<quint32>(ra, p + 12);
    qToLittleEndian<qint32>(dec, p + 16);
    qToLittleEndian<qint32>(status, p + 20);
    return out;
}

} // namespace corvane
