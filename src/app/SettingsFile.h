#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace corvane {

// The small settings file that remembers the serial port, the window's
// position and the two user pins' labels. It lives in the current directory.
//
//   [Main]
//
//   Com Port= 3
//   Main Top= 1200
//   Main Left= 2400
//   Pin 7 Label=Dew heater
//   Pin 14 Label=Camera
//   Port 1 Device=by-id:usb-FTDI_FT232R_USB_UART_A12345-if00-port0
//   Port 2 Network=tcp://192.168.1.40:4001
//
// Lines end in CR LF. Positions are in twips (1/1440 inch). The "Port N
// Device=" lines keep each port number with its adapter across runs, the
// "Port N Network=" lines the numbers the user bound to a network bridge;
// readers that do not know them skip them.
QString settingsFileName();

// What a settings file says; a key that is missing or unusable stays empty.
struct WindowSettings {
    std::optional<int> comPort; // 1..16
    std::optional<double> top;  // twips
    std::optional<double> left; // twips
    std::optional<QString> pin7Label;
    std::optional<QString> pin14Label;
    // port number -> device identity, or "tcp://HOST:PORT" for a number
    // bound to a network bridge (the form SerialPort::rememberDevices takes)
    QMap<int, QString> portDevices;
    // The options added to the file over time ("Share LX200=1", "Reconnect
    // Automatically=0"), by key: every other "Key=value" line whose key is
    // one of optionKeys().
    QMap<QString, QString> options;
};

// The keys of the added options, those the file reads back.
QStringList optionKeys();

// Reads the lines by their exact (case-sensitive) beginnings; a later line
// wins over an earlier one with the same key, other lines are skipped.
// A "Com Port=" value that is not a port number 1..16 is ignored.
WindowSettings parseWindowSettings(const QByteArray& content);

// A missing or unreadable file reads as an empty one; so does a path that is
// not a regular file (it is not read at all, and `why` says so).
WindowSettings readWindowSettings(const QString& path, QString* why = nullptr);

// The seven lines, numbers in the signed-number form (" 3", "-120"), then
// the port devices ("Port N Device=") and network bindings ("Port N
// Network=", for the tcp:// values).
QByteArray windowSettingsText(int comPort, double top, double left, const QString& pin7Label,
                              const QString& pin14Label, const QMap<int, QString>& portDevices = {},
                              const QMap<QString, QString>& options = {});

// Replaces the file as a whole or not at all. Returns false when it could not
// be written; the old file then stays as it was. A path that is not a regular
// file is never written over; a link to one has its target replaced.
bool writeWindowSettings(const QString& path, const QByteArray& content, QString* why = nullptr);

// Window positions: twips = pixels * 1440 / logical DPI.
double pixelsToTwips(int pixels, double logicalDpi);
int twipsToPixels(double twips, double logicalDpi);

} // namespace corvane
