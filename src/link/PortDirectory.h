#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace corvane {

// Which device stands behind each port number 1..16.
// On Windows a number n is COMn. Elsewhere the serial devices that exist,
// sorted by name, take the numbers 1, 2, ... in order. Bindings given on the
// command line (--port N=DEVICE) win over both.
class PortDirectory {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;

    // Builds the directory from the devices present on this machine.
    static PortDirectory fromSystem();
    // The serial devices present on this machine (empty on Windows, where
    // numbers name the ports). Safe to call from any thread.
    static QStringList systemDevices();
    // The directory for a device list found by systemDevices().
    static PortDirectory fromSystemDevices(const QStringList& devices);
    // Builds it from a given device list (sorted here) for tests and other platforms.
    static PortDirectory fromDevices(QStringList devices, bool windowsNaming);

    void bind(int number, const QString& device);
    // Device path or name for a number; empty when nothing is known.
    QString device(int number) const;

    // Parses "N=DEVICE"; returns false (and leaves the directory) when the
    // text is not of that form or N lies outside 1..16.
    bool bindFromOption(const QString& option, QString* error);

private:
    bool m_windowsNaming = false;
    QMap<int, QString> m_devices;
};

} // namespace corvane
