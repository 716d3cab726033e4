#pragma once

#include <QByteArray>
#include <QString>
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
//
// Lines end in CR LF. Positions are in twips (1/1440 inch).
QString settingsFileName();

// What a settings file says; a key that is missing or unusable stays empty.
struct WindowSettings {
    std::optional<int> comPort; // 1..16
    std::optional<double> top;  // twips
    std::optional<double> left; // twips
    std::optional<QString> pin7Label;
    std::optional<QString> pin14Label;
};

// Reads the lines by their exact (case-sensitive) beginnings; a later line
// wins over an earlier one with the same key, other lines are skipped.
// A "Com Port=" value that is not a port number 1..16 is ignored.
WindowSettings parseWindowSettings(const QByteArray& content);

// A missing or unreadable file reads as an empty one.
WindowSettings readWindowSettings(const QString& path);

// The seven lines, numbers in the signed-number form (" 3", "-120").
QByteArray windowSettingsText(int comPort, double top, double left, const QString& pin7Label,
                              const QString& pin14Label);

// Replaces the file as a whole or not at all. Returns false when it could not
// be written; the old file then stays as it was.
bool writeWindowSettings(const QString& path, const QByteArray& content);

// Window positions: twips = pixels * 1440 / logical DPI.
double pixelsToTwips(int pixels, double logicalDpi);
int twipsToPixels(double twips, double logicalDpi);

} // namespace corvane
