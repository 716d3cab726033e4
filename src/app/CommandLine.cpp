#include "app/CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>

namespace corvane {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Corvane Control: control and configuration of a telescope mount "
                       "driven by the Corvane controller board."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the program's version."));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Bind port number N (1..16) to a serial device, e.g. 1=/dev/ttyUSB0 or "
                       "2=/dev/pts/5. Repeatable; wins over the devices found on the system."),
        QStringLiteral("N=DEVICE"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Put a simulated Corvane board behind port 1 (no hardware needed)."));
    const QCommandLineOption firmware(
        QStringLiteral("sim-firmware"),
        QStringLiteral("Firmware version of the simulated board (default 3.60)."),
        QStringLiteral("VERSION"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(port);
    parser.addOption(simulate);
    parser.addOption(firmware);
    QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"),
                                     QStringLiteral("Quit once the window is shown."));
    QCommandLineOption benchPoll(QStringLiteral("bench-poll"),
                                 QStringLiteral("Connect and poll every MS milliseconds."),
                                 QStringLiteral("MS"));
    QCommandLineOption benchSeconds(QStringLiteral("bench-seconds"),
                                    QStringLiteral("Quit after polling this long."),
                                    QStringLiteral("SECONDS"));
    for (QCommandLineOption* hidden : {&quitWhenShown, &benchPoll, &benchSeconds}) {
        hidden->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*hidden);
    }

    if (!parser.parse(arguments)) {
        result.ok = false;
        result.exitNow = true;
        result.message = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return result;
    }
    if (parser.isSet(help)) {
        result.exitNow = true;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.exitNow = true;
        result.message = QStringLiteral("corvane-control %1.%2.%3\n")
                             .arg(kVersionMajor)
                             .arg(kVersionMinor)
                             .arg(kVersionRevision);
        return result;
    }
    result.simulate = parser.isSet(simulate);
    result.portBindings = parser.values(port);
    result.quitWhenShown = parser.isSet(quitWhenShown);
    result.benchPollMs = qBound(0, parser.value(benchPoll).toInt(), 10000);
    result.benchSeconds = qBound(0, parser.value(benchSeconds).toInt(), 3600);
    if (parser.isSet(firmware))
        result.simulatorArgs << QStringLiteral("--firmware") << parser.value(firmware);
    PortDirectory check;
    for (const QString& binding : result.portBindings) {
        QString error;
        if (!check.bindFromOption(binding, &error)) {
            result.ok = false;
            result.exitNow = true;
            result.message = error + QLatin1Char('\n');
            return result;
        }
    }
    return result;
}

} // namespace corvane
