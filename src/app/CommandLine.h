#pragma once

#include "link/PortDirectory.h"

#include <QStringList>

namespace corvane {

// Options given on the command line.
struct CommandLine {
    bool simulate = false;
    QStringList portBindings; // "N=DEVICE"
    QStringList simulatorArgs; // options passed on to the simulated board
    bool ok = true;
    bool exitNow = false; // --help or --version was answered
    QString message;      // text to print (help, version or the error)
};

CommandLine parseCommandLine(const QStringList& arguments);

} // namespace corvane
