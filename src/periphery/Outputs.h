#pragma once

#include <QString>

namespace corvane {

class BoardLine;

// The controller's switchable outputs: the fan and the two user-defined pins
// (7 and 14 of its connector). The board does not report their state; the
// menu check mark is the only record of it.
enum class Output { Fan, Pin7, Pin14 };

// The command that switches an output on or off.
QString outputCommand(Output output, bool on);
void sendOutput(BoardLine& line, Output output, bool on);

} // namespace corvane
