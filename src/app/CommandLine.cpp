#include "app/CommandLine.h"

#include "Version.h"
#include "link/PortDirectory.h"
#include "share/ShareSettings.h"

#include <QCommandLineParser>

namespace corvane {

namespace {

const char* const kProgram = "corvane-control";

// Options of the Qt application itself; they take effect when it is built.
void letQtOptionsThrough(QCommandLineParser& parser) {
    const char* const withValue[] = {"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "qwindowicon",
                                     "qwindowtitle",
                                     "style",
                                     "stylesheet",
                                     "display",
                                     "geometry",
                                     "session",
                                     "name",
                                     "title"};
    const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    for (const char* name : withValue) {
        QCommandLineOption o(QLatin1String(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    for (const char* name : flags) {
        QCommandLineOption o{QLatin1String(name)};
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
}

CommandLine failure(const QString& why) {
    CommandLine result;
    result.ok = false;
    result.exitNow = true;
    result.message = QStringLiteral("%1: %2\nTry '%1 --help' for the options.\n")
                         .arg(QLatin1String(kProgram), why);
    return result;
}

QString helpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QLatin1String(kProgram));
    return text;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
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
                       "2=/dev/pts/5, or to a serial-to-network bridge, e.g. "
                       "3=tcp://192.168.1.40:4001. Repeatable; wins over the devices found on "
                       "the system."),
        QStringLiteral("N=DEVICE"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Put a simulated Corvane board behind port 1 (no hardware needed)."));
    const QCommandLineOption firmware(
        QStringLiteral("sim-firmware"),
        QStringLiteral("Firmware version of the simulated board (default 3.60)."),
        QStringLiteral("VERSION"));
    const QCommandLineOption share(
        QStringLiteral("share"),
        QStringLiteral("Share the mount with LX200 clients (planetariums, guiders) on TCP port "
                       "PORT, on this computer only unless an ADDRESS is given (4030 is the "
                       "port they try first)."),
        QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption shareStellarium(
        QStringLiteral("share-stellarium"),
        QStringLiteral("Share the mount with Stellarium's telescope protocol on TCP port PORT "
                       "(10001 is its default)."),
        QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption alpaca(
        QStringLiteral("alpaca"),
        QStringLiteral("Share the mount with ASCOM programs (NINA, SharpCap, ...) over ASCOM "
                       "Alpaca on HTTP port PORT, found by Alpaca discovery (11111 is the port "
                       "they try first)."),
        QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption connectAtStart(
        QStringLiteral("connect"), QStringLiteral("Connect to the remembered port at start-up."));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Append every write to the board and every reply, with its time and "
                       "what caused it, to FILE for the whole session (to send with a question)."),
        QStringLiteral("FILE"));
    parser.addOptions({help, version, port, simulate, firmware, share, shareStellarium, alpaca,
                       connectAtStart, log});
    QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"),
                                     QStringLiteral("Quit once the window is shown."));
    QCommandLineOption benchPoll(QStringLiteral("bench-poll"),
                                 QStringLiteral("Connect and poll every MS milliseconds."),
                                 QStringLiteral("MS"));
    QCommandLineOption benchSeconds(QStringLiteral("bench-seconds"),
                                    QStringLiteral("Quit after polling this long."),
                                    QStringLiteral("SECONDS"));
    QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                   QStringLiteral("Take the user guide's pictures, then quit."),
                                   QStringLiteral("FOLDER"));
    for (QCommandLineOption* hidden : {&quitWhenShown, &benchPoll, &benchSeconds, &screenshots}) {
        hidden->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*hidden);
    }
    letQtOptionsThrough(parser);

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("unexpected argument '%1'")
                           .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help)) {
        result.exitNow = true;
        result.message = helpText(parser);
        return result;
    }
    if (parser.isSet(version)) {
        result.exitNow = true;
        result.message = QStringLiteral("%1 %2.%3.%4\n")
                             .arg(QLatin1String(kProgram))
                             .arg(kVersionMajor)
                             .arg(kVersionMinor)
                             .arg(kVersionRevision);
        return result;
    }
    result.simulate = parser.isSet(simulate);
    result.connectAtStart = parser.isSet(connectAtStart);
    result.logFile = parser.value(log);
    const std::pair<const QCommandLineOption*, std::pair<QString*, quint16*>> listens[] = {
        {&share, {&result.shareAddress, &result.sharePort}},
        {&shareStellarium, {&result.stellariumAddress, &result.stellariumPort}},
        {&alpaca, {&result.alpacaAddress, &result.alpacaPort}}};
    for (const auto& [option, where] : listens) {
        QString why;
        if (parser.isSet(*option) &&
            !parseListenAddress(parser.value(*option), where.first, where.second, &why))
            return failure(QStringLiteral("--%1 %2: %3")
                               .arg(option->names().constFirst(), parser.value(*option), why));
    }
    result.portBindings = parser.values(port);
    result.quitWhenShown = parser.isSet(quitWhenShown);
    result.screenshots = parser.value(screenshots);
    result.benchPollMs = qBound(0, parser.value(benchPoll).toInt(), 10000);
    result.benchSeconds = qBound(0, parser.value(benchSeconds).toInt(), 3600);
    if (parser.isSet(firmware))
        result.simulatorArgs << QStringLiteral("--firmware") << parser.value(firmware);
    PortDirectory check;
    for (const QString& binding : result.portBindings) {
        QString error;
        if (!check.bindFromOption(binding, &error))
            return failure(error);
    }
    return result;
}

} // namespace corvane
