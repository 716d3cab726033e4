#pragma once

#include <QByteArray>
#include <QList>

namespace corvane {

// Cuts an LX200 client's byte stream, fed in whatever chunks the network
// delivers, into whole requests:
//   ":GR#", ":Sr 05:34.5#"  a command, from its ":" to its "#" (a "#" before
//                           the ":" is the previous command's habit and is
//                           skipped like any byte outside a command);
//   "\x06"                  the alignment query, a request by itself.
// Only whole requests come out; a command still waiting for its "#" is never
// handed on, so nothing is acted on from half a command.
//
// A request may be at most kLongestRequest bytes long, counted from the end
// of the one before (skipped bytes included): a client that sends more
// without completing one is sending noise or trying to make the server hoard
// its bytes. Then the framer reports an overflow, keeps nothing and takes
// nothing more; the server disconnects the client.
class Lx200Framer {
public:
    static constexpr int kLongestRequest = 256;

    struct Output {
        QList<QByteArray> requests; // whole, in order, each with its ":" and "#"
        bool overflow = false;      // the client is to be cut off
    };

    // Requests completed by these bytes. Those completed before an overflow
    // in the same bytes are still returned.
    Output feed(const QByteArray& bytes);

    bool hasOverflowed() const { return m_overflow; }
    // Bytes held for the command under way (never above kLongestRequest).
    int heldBytes() const { return static_cast<int>(m_command.size()); }

private:
    QByteArray m_command; // from its ":" on; empty outside a command
    int m_sinceLastRequest = 0;
    bool m_overflow = false;
};

} // namespace corvane
