#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace corvane {

// A serial device present on this machine.
struct SerialDevice {
    QString location; // what is opened: "/dev/ttyUSB0"
    // What names this adapter whatever it is plugged into and whatever else
    // is plugged in: its /dev/serial/by-id name, else its USB serial number
    // with vendor and product id, else its place on the bus, else the
    // location itself. A USB adapter without a serial number is named by its
    // place on the bus (the USB port it is plugged into) only.
    QString identity;
};

// Which line stands behind each port number 1..16: a serial device, or a
// serial-to-network bridge at a tcp:// address (see NetworkAddress.h).
//
// On Windows a number n is COMn. Elsewhere each number stays with the same
// adapter: a device remembered under a number (from the last run) gets that
// number again when it is present; the other devices, sorted by location,
// take the free numbers in order. A number remembered for an adapter that is
// absent is kept free for it as long as free numbers remain. A number the
// user bound to a network address keeps it from run to run: the remembered
// identities carry it as "tcp://HOST:PORT", which no device identity ever is.
// Bindings given on the command line (--port N=DEVICE or N=tcp://HOST:PORT)
// win over all of this and are not remembered.
class PortDirectory {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;
    // port number -> device identity, or the tcp:// address of a binding
    using Identities = QMap<int, QString>;

    // The serial devices present on this machine (empty on Windows, where
    // numbers name the ports). Safe to call from any thread.
    static QVector<SerialDevice> systemDevices();
    // The directory for a device list found by systemDevices().
    static PortDirectory fromSystemDevices(const QVector<SerialDevice>& devices,
                                           const Identities& remembered);
    static PortDirectory fromDevices(QVector<SerialDevice> devices, const Identities& remembered,
                                     bool windowsNaming);

    // A binding for this run only (the command line's): a device path as
    // given, or a tcp:// address. It is not remembered.
    void bind(int number, const QString& device);
    // Binds a number to a bridge's address ("tcp://HOST:PORT") for this run
    // and, through identitiesToRemember(), the next ones; whatever the number
    // stood for before gives way. An empty address removes the number's
    // network binding, if it has one. Returns false, changing nothing, for
    // an address that does not parse or a number outside 1..16.
    bool bindNetwork(int number, const QString& address, QString* why);
    // Puts back what the number stood for before the last bindNetwork() that
    // bound it to an address (a device, the command line's path, another
    // address, or nothing): a bridge that could not be reached takes nothing
    // away.
    void undoNetworkBinding(int number);

    // What is opened for a number: a device path, "tcp://HOST:PORT" or
    // COMn; empty when nothing is known or the adapter is absent.
    QString device(int number) const;
    // What identifies the line behind a number: the device's identity, the
    // path exactly as the command line gave it, or the tcp:// address.
    QString identity(int number) const;
    // The device and what identifies it, for the port menu.
    QString describe(int number) const;
    // The numbers to remember: the devices present now, the remembered
    // ones that are absent (so they find their number when they return),
    // the user's network bindings, and what a number held before the command
    // line took it for this run.
    Identities identitiesToRemember() const;

    // Takes a fresh list of the system's devices (a re-plugged adapter may
    // come back under another path): each number that belongs to an adapter
    // follows it to its present location, or opens nothing while it is
    // absent, a number remembered for an adapter that was absent so far is
    // bound to it once it is there, and an adapter never seen before takes a
    // free number as at start-up. A number never changes hands to another
    // adapter, and bindings (command line, network) are left alone.
    void rescan(const QVector<SerialDevice>& devices);

    // Parses "N=DEVICE" or "N=tcp://HOST:PORT"; returns false (and leaves
    // the directory) when the text is not of that form, N lies outside
    // 1..16, the address does not parse, another scheme than tcp:// is
    // given or DEVICE is no device path.
    bool bindFromOption(const QString& option, QString* error);
    // A path as the system names serial devices: "/..." (or COMn on Windows).
    static bool isDevicePath(const QString& device);
    // The number stands for a device path given on the command line, which
    // opens whatever device is there at the time.
    bool isPathBinding(int number) const;

private:
    enum class Origin {
        Found,   // a device of the system's list: follows its adapter
        Option,  // the command line's, as given: not remembered
        Network, // the user's network binding: remembered
    };
    struct Line {
        SerialDevice device;
        Origin origin = Origin::Found;
    };
    bool holdsIdentity(const QString& identity) const;
    // Gives the devices free numbers: first those nobody claims, then, when
    // those run out, the numbers kept for absent adapters.
    void numberNewDevices(QVector<SerialDevice> devices);

    bool m_windowsNaming = false;
    QMap<int, Line> m_lines;
    Identities m_remembered; // what the last run remembered
    // What bindNetwork() replaced, by number (a number absent from the
    // directory had nothing).
    QMap<int, std::optional<Line>> m_replaced;
};

} // namespace corvane
