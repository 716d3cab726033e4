#pragma once

#include "link/PortDirectory.h"

#include <QStringList>

namespace corvane {

// Options given on the command line.
struct CommandLine {
    bool simulate = false;
    QStringList portBindings;  // "N=DEVICE"
    QStringList simulatorArgs; // options passed on to the simulated board
    // Hidden options for measuring the program (see bench/).
    bool quitWhenShown = false; // quit as soon as the window is shown
    int benchPollMs = 0;        // connect and poll the position at this interval
    int benchSeconds = 0;       // while polling: quit after this many seconds
    bool ok = true;
    bool exitNow = false; // --help or --version was answered
    QString message;      // text to print (help, version or the error)
};

CommandLine parseCommandLine(const QStringList& arguments);

} // namespace corvane
