#pragma once

namespace corvane {

// The one command the board's users share: stop all motion.
inline const char* const kStopAllCommand = "#:Q#";

} // namespace corvane
