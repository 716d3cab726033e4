#pragma once

// The window on the simulated board sharing the mount on ports the system
// picks, and clients of it in the same process.
#include "common/WindowFixture.h"
#include "share/ShareServer.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QtEndian>
#include <memory>

namespace corvane::test {

// Every form of command the board may be sent for a client: rebuilt from
// parsed values, never the client's bytes.
inline const QRegularExpression
    kClientBoardCommands(QStringLiteral("^#:(GR|GD|Gr|Gd|MS|CM|Q|Q[nsew]|RG|RM|RS)#$|"
                                        "^#:GR##:GD#$|"
                                        "^#:Sr ([01][0-9]|2[0-3]):[0-5][0-9]\\.[0-9]#$|"
                                        "^#:Sd [+-](90\\*00|[0-8][0-9]\\*[0-5][0-9])#$|"
                                        "^#:Qs##:Mn#$|^#:Qn##:Ms#$|^#:Qw##:Me#$|^#:Qe##:Mw#$|"
                                        "^#:Mg[nsew](0|[1-9][0-9]{0,4})#$"));

// The lines that are not in those forms.
inline QStringList notClientCommands(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines)
        if (!kClientBoardCommands.match(line).hasMatch())
            out << line;
    return out;
}

// Writes the request and returns what came back once `length` bytes are in,
// or whatever came within `ms`.
inline QByteArray ask(QTcpSocket& socket, const QByteArray& request, int length, int ms = 3000) {
    socket.write(request);
    (void)QTest::qWaitFor([&] { return socket.bytesAvailable() >= length; }, ms);
    return socket.read(length);
}

// Stellarium's goto: RA 0x100000000 a day, DEC 0x40000000 a quarter turn.
inline QByteArray stellariumGoto(double hours, double degrees) {
    QByteArray m(20, '\0');
    qToLittleEndian<quint16>(20, m.data());
    qToLittleEndian<quint32>(static_cast<quint32>(hours / 24.0 * 4294967296.0), m.data() + 12);
    qToLittleEndian<qint32>(static_cast<qint32>(degrees / 90.0 * 1073741824.0), m.data() + 16);
    return m;
}

// Both protocols shared on ports the system picks, for at most `clients`.
inline bool shareBoth(ShareServer& server, int clients = ShareSettings::kDefaultClients) {
    ShareSettings settings;
    settings.lx200 = settings.stellarium = true;
    settings.lx200Port = settings.stellariumPort = 0;
    settings.maxClients = clients;
    return server.start(settings, nullptr);
}

// A client, connected (its socket says so; the server may still turn it away).
inline std::unique_ptr<QTcpSocket> clientOf(const ShareServer& server, bool stellarium = false) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"),
                          stellarium ? server.stellariumPort() : server.lx200Port());
    socket->waitForConnected(3000);
    return socket;
}

template <typename ClockType = FakeClock> struct SharedWindow : SimWindow<ClockType> {
    using SimWindow<ClockType>::SimWindow;

    ShareServer& server() const { return this->window->share(); }

    // Connected, and sharing both protocols for at most `clients` clients.
    bool share(int clients = ShareSettings::kDefaultClients) {
        return this->connect() && shareBoth(server(), clients);
    }
    std::unique_ptr<QTcpSocket> client(bool stellarium = false) const {
        return clientOf(server(), stellarium);
    }
};

} // namespace corvane::test
