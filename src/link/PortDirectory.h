#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace corvane {

// A serial device present on this machine.
struct SerialDevice {
    QString location; // what is opened: "/dev/ttyUSB0"
    // What names this adapter whatever it is plugged into and whatever else
    // is plugged in: its /dev/serial/by-id name, else its USB serial number
    // with vendor and product id, else its place on the bus, else the
    // location itself.
    QString identity;
};

// Which device stands behind each port number 1..16.
//
// On Windows a number n is COMn. Elsewhere each number stays with the same
// adapter: a device remembered under a number (from the last run) gets that
// number again when it is present; the other devices, sorted by location,
// take the free numbers in order. A number remembered for an adapter that is
// absent is kept free for it as long as free numbers remain. Bindings given
// on the command line (--port N=DEVICE) win over all of this.
class PortDirectory {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;
    using Identities = QMap<int, QString>; // port number -> device identity

    // The serial devices present on this machine (empty on Windows, where
    // numbers name the ports). Safe to call from any thread.
    static QVector<SerialDevice> systemDevices();
    // The directory for a device list found by systemDevices().
    static PortDirectory fromSystemDevices(const QVector<SerialDevice>& devices,
                                           const Identities& remembered);
    static PortDirectory fromDevices(QVector<SerialDevice> devices, const Identities& remembered,
                                     bool windowsNaming);

    void bind(int number, const QString& device);
    // Device path or name for a number; empty when nothing is known.
    QString device(int number) const;
    // The device and what identifies it, for the port menu.
    QString describe(int number) const;
    // The numbers to remember: the devices present now, and the remembered
    // ones that are absent (so they find their number when they return).
    Identities identitiesToRemember() const;

    // Parses "N=DEVICE"; returns false (and leaves the directory) when the
    // text is not of that form or N lies outside 1..16.
    bool bindFromOption(const QString& option, QString* error);

private:
    bool m_windowsNaming = false;
    QMap<int, SerialDevice> m_devices;
    Identities m_remembered;
};

} // namespace corvane
