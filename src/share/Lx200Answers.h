#pragma once

#include "share/Lx200Request.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace corvane {

// The observing site that LX200 clients read and set. The program counts
// longitudes east positive; the answers turn them into LX200's west positive.
struct SiteSettings {
    double latitude = 0.0;  // degrees, north positive
    double longitude = 0.0; // degrees, east positive
    double elevation = 0.0; // metres above sea level
    QString name = QStringLiteral("Home");
};

// The product name clients are told (":GVP#").
inline const char* const kShareProductName = "Corvane";

// The answer to a request the board never sees, in the form LX200 clients
// read; empty when the request is answered by the board or not at all (the
// precision toggle, anything unknown).
//   Ack "P" (a polar mount); BadCoordinate "0";
//   ":GVP#" "Corvane#", ":GVN#" the controller's firmware version + "#",
//   ":GVD#" "Mmm DD YYYY#" and ":GVT#" "HH:MM:SS#" (the date and time of
//   `now`: the version the board reports has no date of its own);
//   ":Gt#" "sDD*MM#", ":Gg#" "DDD*MM#" (west positive, 0 to 359),
//   ":GG#" "sHH#" the hours to add to local time to get UTC ("sHH.H#" in a
//   zone off the whole hour), ":GL#" "HH:MM:SS#" and ":GC#" "MM/DD/YY#" local,
//   ":Gc#" "24#", ":GM#" the site name + "#", ":GT#" "60.1#";
//   setters "1", or "0" for a value out of range. ":SC" answers "1" and then
//   the two display lines classic handsets send after a date, each ended by
//   "#": "Updating Planetary Data" and a blank line, each padded to 32.
// `now` is the computer's clock: UTC with the local offset (offsetFromUtc()).
// Text that comes from elsewhere (the version, the site name) goes out in
// printable ASCII only, without "#", at most 16 characters, so it can never
// end an answer early or run into the next.
QByteArray localAnswer(const Lx200Request& request, const SiteSettings& site, const QDateTime& now,
                       const QString& firmwareVersion);

// Takes a latitude or longitude that a client set (and that was in range)
// into the site; true when it did. Time and date setters change nothing:
// the program keeps the computer's clock.
bool applyToSite(const Lx200Request& request, SiteSettings& site);

} // namespace corvane
