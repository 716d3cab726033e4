#pragma once

namespace corvane {

class MainWindow;
struct CommandLine;

// Measurement hooks behind hidden command-line options, used by the scripts in
// bench/: quit as soon as the window is shown (saying which catalogues it
// offers, for the installed package's check), or connect, poll the position
// at a given interval and report the processor time that polling took.
void startBenchHooks(MainWindow& window, const CommandLine& options);

} // namespace corvane
