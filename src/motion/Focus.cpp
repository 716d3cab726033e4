#include "motion/Focus.h"

#include "link/BoardLine.h"

namespace corvane {

void sendFocusMove(BoardLine& line, FocusMove move) {
    line.send(QLatin1String(move == FocusMove::In ? FocusCmd::In : FocusCmd::Out));
}

void sendFocusStop(BoardLine& line) {
    line.send(QLatin1String(FocusCmd::Stop));
}

void sendFocusSpeed(BoardLine& line, bool fast) {
    line.send(QLatin1String(fast ? FocusCmd::Fast : FocusCmd::Slow));
}

} // namespace corvane
