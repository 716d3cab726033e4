#pragma once

#include "sim/FaultInjector.h"

#include <QString>
#include <QStringList>

namespace corvane::sim {

// How a simulated board is set up: the same options for corvane-sim and for
// the board behind port 1 of "corvane-control --simulate".
struct SimOptions {
    double firmware = 3.60;
    bool acknowledgeSettings = false;
    bool pacing = true;    // deliver replies at 9600 baud, about 1.04 ms a character
    double speedup = 60.0; // motor rates times this: a 12 h slew at 27X takes about 27 s
    QString logFile;       // every byte in and out, with times; empty for none
    FaultOptions faults;
    // corvane-sim only: serve the board on this TCP port (0 picks a free
    // one) instead of a pseudo-terminal; -1 for the pseudo-terminal.
    int tcpPort = -1;
    QString tcpAddress = QStringLiteral("127.0.0.1");
};

// Parses options such as "--firmware 3.50 --no-pacing --drop-every 5"
// (without the program name). Returns false and a message on a bad option;
// sets *helpRequested for --help.
bool parseSimOptions(const QStringList& arguments, SimOptions* options, QString* error,
                     bool* helpRequested = nullptr);

// The option list, as --help prints it.
QString simOptionsHelp();

} // namespace corvane::sim
