#pragma once

#include <QStringList>

namespace corvane {

// Options given on the command line.
struct CommandLine {
    bool simulate = false;
    QStringList portBindings;  // "N=DEVICE" or "N=tcp://HOST:PORT"
    QStringList simulatorArgs; // options passed on to the simulated board
    // --share, --share-stellarium and --alpaca: where to listen (empty address: the
    // remembered one, else 127.0.0.1); port 0 when not given.
    QString shareAddress;
    quint16 sharePort = 0;
    QString stellariumAddress;
    quint16 stellariumPort = 0;
    QString alpacaAddress; // --alpaca
    quint16 alpacaPort = 0;
    bool connectAtStart = false; // --connect
    QString logFile;             // --log: every exchange appended to this file
    // Hidden options for measuring the program (see bench/).
    bool quitWhenShown = false; // quit as soon as the window is shown
    int benchPollMs = 0;        // connect and poll the position at this interval
    int benchSeconds = 0;       // while polling: quit after this many seconds
    QString screenshots;        // take the user guide's pictures into this folder, then quit
    bool ok = true;
    bool exitNow = false; // --help, --version or a bad option was answered
    QString message;      // text to print (help, version or the error)
};

// Reads the arguments (the program's name first) without any application
// object, so that --help, --version and a bad option are answered before the
// window system is asked for a display. Qt's own window options (-platform,
// -style, ...) are let through for the application to take.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace corvane
