#pragma once

#include "share/Lx200Answers.h"

#include <QMap>
#include <QString>

namespace corvane {

// How the mount is shared: which protocols listen where, how many programs
// may use it at once, and the observing site LX200 clients read.
struct ShareSettings {
    static constexpr quint16 kLx200Port = 4030; // the port LX200 network clients try first
    static constexpr quint16 kStellariumPort = 10001;
    static constexpr quint16 kAlpacaPort = 11111; // the port ASCOM programs try first
    static constexpr int kDefaultClients = 4;
    static constexpr int kMostClients = 16;

    bool lx200 = false;
    QString lx200Address = QStringLiteral("127.0.0.1");
    quint16 lx200Port = kLx200Port;
    bool stellarium = false;
    QString stellariumAddress = QStringLiteral("127.0.0.1");
    quint16 stellariumPort = kStellariumPort;
    bool alpaca = false;
    QString alpacaAddress = QStringLiteral("127.0.0.1");
    quint16 alpacaPort = kAlpacaPort;
    int maxClients = kDefaultClients; // LX200 and Stellarium together, 1..16
    SiteSettings site;
    // The frame the mount was synced in, as Alpaca clients are told it:
    // J2000 unless the user says the mount is synced to the date's equinox.
    bool syncedJNow = false;
    // Alpaca's UniqueIDs of the telescope and the focuser: made once and
    // kept, so that ASCOM programs know the devices again.
    QString alpacaTelescopeId;
    QString alpacaFocuserId;

    bool any() const { return lx200 || stellarium || alpaca; }
    // Listening anywhere but this computer lets others on the network in.
    bool reachableFromOutside() const;
    // "0.0.0.0:4030 (LX200)": where others on the network can reach the
    // mount; empty when it is shared with this computer only.
    QString outsideAddresses() const;
};

// An address to listen on: an IP address, or "localhost". Anything else
// ("127.0.0.l", "locahost", nothing) is none: it would listen everywhere.
bool isListenAddress(const QString& address);

// The settings as the settings file keeps them ("Share LX200=1", "Share LX200
// Port=4030", "Site Latitude=48.1500", ...), and back: a value that does not
// read (a port out of range, an address that is none, a latitude beyond a
// pole) leaves its default.
QMap<QString, QString> shareOptions(const ShareSettings& settings);
ShareSettings shareSettingsFrom(const QMap<QString, QString>& options);

// "[ADDRESS:]PORT" as --share takes it: an IPv4 address (or "localhost"),
// or one in brackets for IPv6, and a port 1..65535. False, with a one-line
// reason, when it does not parse; the address stays as it was when the text
// names only a port.
bool parseListenAddress(const QString& text, QString* address, quint16* port, QString* why);

} // namespace corvane
