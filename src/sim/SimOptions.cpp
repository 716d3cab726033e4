#include "sim/SimOptions.h"

#include <QCommandLineParser>
#include <QHostAddress>

namespace corvane::sim {

namespace {

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption firmware{QStringLiteral("firmware"),
                                QStringLiteral("Firmware version the board reports (default "
                                               "3.60; 3.56 and below answer the 16-byte "
                                               "settings dump)."),
                                QStringLiteral("X")};
    QCommandLineOption noPacing{QStringLiteral("no-pacing"),
                                QStringLiteral("Deliver replies at once instead of at 9600 baud.")};
    QCommandLineOption speedup{QStringLiteral("speedup"),
                               QStringLiteral("Multiply the motor rates by F (default 60)."),
                               QStringLiteral("F")};
    QCommandLineOption log{QStringLiteral("log"),
                           QStringLiteral("Write every byte in and out, with times, to FILE."),
                           QStringLiteral("FILE")};
    QCommandLineOption ackSettings{
        QStringLiteral("ack-settings"),
        QStringLiteral("Answer every drive-setting command with one character.")};
    QCommandLineOption dropEvery{QStringLiteral("drop-every"),
                                 QStringLiteral("Drop every Nth reply."), QStringLiteral("N")};
    QCommandLineOption truncateEvery{QStringLiteral("truncate-every"),
                                     QStringLiteral("Cut every Nth reply to its first half."),
                                     QStringLiteral("N")};
    QCommandLineOption garbleEvery{QStringLiteral("garble-every"),
                                   QStringLiteral("Garble one byte of every Nth reply."),
                                   QStringLiteral("N")};
    QCommandLineOption delayMs{QStringLiteral("delay-ms"),
                               QStringLiteral("Hold every reply back N milliseconds."),
                               QStringLiteral("N")};
    QCommandLineOption vanishAfter{QStringLiteral("vanish-after"),
                                   QStringLiteral("Vanish like an unplugged adapter once N "
                                                  "replies have gone out (over TCP: close the "
                                                  "connection and stop listening), then exit."),
                                   QStringLiteral("N")};
    QCommandLineOption tcp{QStringLiteral("tcp"),
                           QStringLiteral("Serve the board on TCP port PORT (0 picks a free one) "
                                          "instead of a pseudo-terminal, one client at a time, "
                                          "as a serial-to-network bridge does."),
                           QStringLiteral("PORT")};
    QCommandLineOption tcpAddress{QStringLiteral("tcp-address"),
                                  QStringLiteral("Listen on this IP address (default 127.0.0.1)."),
                                  QStringLiteral("ADDR")};

    Parser() {
        parser.setApplicationDescription(
            QStringLiteral("A simulated Corvane controller board on a serial line: a "
                           "pseudo-terminal, or with --tcp a TCP port. The first line printed "
                           "is what to open (the device, or tcp://HOST:PORT)."));
        parser.addOptions({help, firmware, noPacing, speedup, log, ackSettings, dropEvery,
                           truncateEvery, garbleEvery, delayMs, vanishAfter, tcp, tcpAddress});
    }
};

bool readCount(const QCommandLineParser& p, const QCommandLineOption& o, int* out, QString* error) {
    if (!p.isSet(o))
        return true;
    bool ok = false;
    const int v = p.value(o).toInt(&ok);
    if (!ok || v < 0) {
        *error = QStringLiteral("--%1 expects a whole number of 0 or more, got \"%2\"")
                     .arg(o.names().constFirst(), p.value(o));
        return false;
    }
    *out = v;
    return true;
}

bool readPositive(const QCommandLineParser& p, const QCommandLineOption& o, double max, double* out,
                  QString* error) {
    if (!p.isSet(o))
        return true;
    bool ok = false;
    const double v = p.value(o).toDouble(&ok);
    if (!ok || !(v > 0.0) || v > max) {
        *error = QStringLiteral("--%1 expects a number above 0 and up to %2, got \"%3\"")
                     .arg(o.names().constFirst())
                     .arg(max)
                     .arg(p.value(o));
        return false;
    }
    *out = v;
    return true;
}

bool readTcp(const Parser& p, SimOptions* o, QString* error) {
    if (p.parser.isSet(p.tcp)) {
        bool ok = false;
        const int port = p.parser.value(p.tcp).toInt(&ok);
        if (!ok || port < 0 || port > 65535) {
            *error = QStringLiteral("--tcp expects a port number from 0 to 65535, got \"%1\"")
                         .arg(p.parser.value(p.tcp));
            return false;
        }
        o->tcpPort = port;
    }
    if (!p.parser.isSet(p.tcpAddress))
        return true;
    const QString address = p.parser.value(p.tcpAddress).trimmed();
    if (o->tcpPort < 0) {
        *error = QStringLiteral("--tcp-address goes with --tcp PORT");
        return false;
    }
    if (QHostAddress(address).isNull()) {
        *error = QStringLiteral("--tcp-address expects an IP address such as 127.0.0.1 or ::1, "
                                "got \"%1\"")
                     .arg(address);
        return false;
    }
    o->tcpAddress = address;
    return true;
}

} // namespace

bool parseSimOptions(const QStringList& arguments, SimOptions* options, QString* error,
                     bool* helpRequested) {
    Parser p;
    QString message;
    if (!p.parser.parse(QStringList{QStringLiteral("corvane-sim")} + arguments)) {
        message = p.parser.errorText();
    } else if (!p.parser.positionalArguments().isEmpty()) {
        message = QStringLiteral("Unexpected argument \"%1\"")
                      .arg(p.parser.positionalArguments().constFirst());
    }
    SimOptions o;
    FaultOptions& f = o.faults;
    const bool ok =
        message.isEmpty() && readPositive(p.parser, p.firmware, 99.0, &o.firmware, &message) &&
        readPositive(p.parser, p.speedup, 100000.0, &o.speedup, &message) &&
        readCount(p.parser, p.dropEvery, &f.dropEvery, &message) &&
        readCount(p.parser, p.truncateEvery, &f.truncateEvery, &message) &&
        readCount(p.parser, p.garbleEvery, &f.garbleEvery, &message) &&
        readCount(p.parser, p.delayMs, &f.delayMs, &message) &&
        readCount(p.parser, p.vanishAfter, &f.vanishAfter, &message) && readTcp(p, &o, &message);
    if (!ok) {
        if (error)
            *error = message;
        return false;
    }
    if (helpRequested)
        *helpRequested = p.parser.isSet(p.help);
    o.pacing = !p.parser.isSet(p.noPacing);
    o.acknowledgeSettings = p.parser.isSet(p.ackSettings);
    o.logFile = p.parser.value(p.log);
    *options = o;
    return true;
}

QString simOptionsHelp() {
    Parser p;
    return p.parser.helpText();
}

} // namespace corvane::sim
