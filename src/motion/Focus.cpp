#include "motion/Focus.h"

#include "link/Channel.h"

namespace corvane {

void sendFocusMove(Channel& channel, FocusMove move) {
    channel.send(QLatin1String(move == FocusMove::In ? FocusCmd::In : FocusCmd::Out));
}

void sendFocusStop(Channel& channel) {
    channel.send(QLatin1String(FocusCmd::Stop));
}

void sendFocusSpeed(Channel& channel, bool fast) {
    channel.send(QLatin1String(fast ? FocusCmd::Fast : FocusCmd::Slow));
}

} // namespace corvane
