#pragma once

#include <QString>

namespace corvane {

class Channel;

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

void sendFocusMove(Channel& channel, FocusMove move);
void sendFocusStop(Channel& channel);
// Fast or slow speed.
void sendFocusSpeed(Channel& channel, bool fast);

} // namespace corvane
