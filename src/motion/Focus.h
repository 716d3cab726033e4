#pragma once

#include <QString>

namespace corvane {

class BoardLine;

// Focuser commands. The focuser keeps moving after an in or out command until
// it is told to stop; the controller does not time the move.
namespace FocusCmd {
inline const char* const In = "#:F+#";
inline const char* const Out = "#:F-#";
inline const char* const Stop = "#:FQ#";
inline const char* const Fast = "#:FF#";
inline const char* const Slow = "#:FS#";
} // namespace FocusCmd

enum class FocusMove { In, Out };

void sendFocusMove(BoardLine& line, FocusMove move);
void sendFocusStop(BoardLine& line);
// Fast or slow speed.
void sendFocusSpeed(BoardLine& line, bool fast);

} // namespace corvane
