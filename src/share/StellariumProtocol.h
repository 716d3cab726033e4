#pragma once

#include "share/BoardCoordinates.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace corvane {

// Stellarium's telescope protocol: binary messages, little-endian, each
// starting with its length (2 bytes, the whole message), its type (2 bytes,
// always 0) and a time (8 bytes, microseconds since 1970).
//   goto from the client, 20 bytes: + RA (uint32, 0x100000000 = 24 h)
//                                   + DEC (int32, 0x40000000 = +90 degrees)
//   position to the client, 24 bytes: + RA + DEC + status (int32, 0 = ok)
namespace Stellarium {
constexpr int kHeaderLength = 12; // length, type and time: every message has them
constexpr int kGotoLength = 20;
constexpr int kPositionLength = 24;
// No message of the protocol comes near this; a longer one is not Stellarium.
constexpr int kLongestMessage = 64;
} // namespace Stellarium

// Cuts a client's byte stream, fed in any chunks, into whole messages. A
// message whose length is below the header's or above kLongestMessage, or
// whose type is not 0, means the client does not speak this protocol (or the
// stream lost its step): the framer reports an error, keeps nothing and takes
// nothing more; the server disconnects the client. It never holds more than
// one message.
class StellariumFramer {
public:
    struct Output {
        QList<QByteArray> messages; // whole, in order
        bool error = false;
    };
    Output feed(const QByteArray& bytes);

    bool hasFailed() const { return m_failed; }
    int heldBytes() const { return static_cast<int>(m_message.size()); }

private:
    bool headerIsSound() const;

    QByteArray m_message;
    bool m_failed = false;
};

// A goto message in hours (0 <= h < 24) and degrees; no value for a message
// that is not a goto (another length or type) or whose DEC lies beyond a pole.
std::optional<SkyPosition> decodeStellariumGoto(const QByteArray& message);

// The target to set on the board for a goto: both coordinates rounded to the
// board's forms as an LX200 client's are.
struct BoardTarget {
    BoardRa ra;
    BoardDec dec;
};
std::optional<BoardTarget> boardTargetFrom(const SkyPosition& position);

// The position message sent to the client: hours are wrapped into a day,
// degrees held within the poles.
QByteArray encodeStellariumPosition(const SkyPosition& position, qint64 timeMicroseconds,
                                    qint32 status = 0);

} // namespace corvane
