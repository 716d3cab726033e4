#pragma once

#include "share/Lx200Request.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace corvane {

// The board command for a client's request, rebuilt from its parsed values
// ("#:Sr 05:34.5#", "#:Mgn250#", "#:RM#"); empty for requests the board never
// sees (the site, the time, the product, the precision toggle, anything
// unknown or refused). A move stops the opposite direction first, as the
// guiding page's buttons do, so the two never run against each other:
// ":Mn#" becomes "#:Qs##:Mn#".
QString boardCommand(const Lx200Request& request);

// What the board answers to that command.
struct BoardReplyForm {
    // The longest text reply read up to its "#" (the sync's "Synced#").
    static constexpr int kLongestTextReply = 32;

    int length = 0;        // that many characters (when not upToHash)
    bool upToHash = false; // up to and with a "#", at most kLongestTextReply
    bool awaited() const { return upToHash || length > 0; }
};
// Set target 1 ("1" or "0"), goto 1 ("0" accepted), ":GR#" and ":Gr#" 8,
// ":GD#" and ":Gd#" 7, sync up to its "#"; moves, stops, rates and pulses
// are not answered.
BoardReplyForm boardReplyForm(const Lx200Request& request);

// What the client is told once the board's reply is in, or did not come
// (no value): a reply is passed on only when it has its form. A set target
// that the board did not confirm is "0"; a goto the board did not accept
// gets LX200's refusal "1...#"; a sync without its "#" reply "Sync failed#".
// A position reply that is missing or damaged gives the client nothing:
// it times out rather than reading a wrong position.
std::optional<QByteArray> clientAnswerFromBoard(const Lx200Request& request,
                                                const std::optional<QByteArray>& boardReply);

} // namespace corvane
