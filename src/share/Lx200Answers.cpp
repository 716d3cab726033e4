#include "share/Lx200Answers.h"

#include "common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace corvane {

namespace {

constexpr int kLongestOutsideText = 16;
constexpr int kHandsetLine = 32;

QByteArray two(qint64 v) {
    return format00(static_cast<double>(v)).toLatin1();
}

// Whole arc minutes of an angle, rounded, a NaN counting as 0.
qint64 arcMinutes(double degrees) {
    return std::isfinite(degrees) ? std::llround(degrees * 60.0) : 0;
}

QByteArray latitudeAnswer(double latitude) {
    const qint64 minutes = std::clamp<qint64>(arcMinutes(latitude), -90 * 60, 90 * 60);
    const qint64 magnitude = std::abs(minutes);
    return (minutes < 0 ? "-" : "+") + two(magnitude / 60) + '*' + two(magnitude % 60) + '#';
}

QByteArray longitudeAnswer(double eastLongitude) {
    constexpr qint64 kCircle = 360 * 60;
    const qint64 west = ((-arcMinutes(eastLongitude)) % kCircle + kCircle) % kCircle;
    return format000(static_cast<double>(west / 60)).toLatin1() + '*' + two(west % 60) + '#';
}

// The hours to add to local time to get UTC: "-01" in Central Europe,
// "-05.5" in India.
QByteArray utcOffsetAnswer(const QDateTime& now) {
    const qint64 tenths = std::llround(-now.offsetFromUtc() / 360.0);
    const qint64 magnitude = std::abs(tenths);
    QByteArray text = (tenths < 0 ? "-" : "+") + two(magnitude / 10);
    if (magnitude % 10 != 0)
        text += '.' + QByteArray::number(magnitude % 10);
    return text + '#';
}

QByteArray monthDayYear(const QDate& date) {
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QByteArray(kMonths[date.month() - 1]) + ' ' + two(date.day()) + ' ' +
           QByteArray::number(date.year()) + '#';
}

QByteArray clockTime(const QTime& time) {
    return two(time.hour()) + ':' + two(time.minute()) + ':' + two(time.second()) + '#';
}

QByteArray outsideText(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        if (out.size() == kLongestOutsideText)
            break;
        if (c.unicode() >= ' ' && c.unicode() <= '~' && c != QLatin1Char('#'))
            out += static_cast<char>(c.unicode());
    }
    return out + '#';
}

QByteArray handsetLine(const char* text) {
    return QByteArray(text).leftJustified(kHandsetLine, ' ') + '#';
}

QByteArray setterAnswer(const Lx200Request& r) {
    if (!r.inRange)
        return "0";
    if (r.kind == Lx200Kind::SetDate)
        return "1" + handsetLine("Updating Planetary Data") + handsetLine("");
    return "1";
}

} // namespace

QByteArray localAnswer(const Lx200Request& r, const SiteSettings& site, const QDateTime& now,
                       const QString& firmwareVersion) {
    switch (r.kind) {
    case Lx200Kind::Ack:
        return "P";
    case Lx200Kind::BadCoordinate:
        return "0";
    case Lx200Kind::ProductName:
        return QByteArray(kShareProductName) + '#';
    case Lx200Kind::FirmwareVersion:
        return outsideText(firmwareVersion);
    case Lx200Kind::FirmwareDate:
        return monthDayYear(now.date());
    case Lx200Kind::FirmwareTime:
    case Lx200Kind::GetLocalTime:
        return clockTime(now.time());
    case Lx200Kind::GetLatitude:
        return latitudeAnswer(site.latitude);
    case Lx200Kind::GetLongitude:
        return longitudeAnswer(site.longitude);
    case Lx200Kind::GetUtcOffset:
        return utcOffsetAnswer(now);
    case Lx200Kind::GetDate:
        return two(now.date().month()) + '/' + two(now.date().day()) + '/' +
               two(now.date().year() % 100) + '#';
    case Lx200Kind::GetClockFormat:
        return "24#";
    case Lx200Kind::GetSiteName:
        return outsideText(site.name);
    case Lx200Kind::GetTrackingRate:
        return "60.1#";
    case Lx200Kind::SetLatitude:
    case Lx200Kind::SetLongitude:
    case Lx200Kind::SetUtcOffset:
    case Lx200Kind::SetLocalTime:
    case Lx200Kind::SetDate:
        return setterAnswer(r);
    default:
        return QByteArray();
    }
}

bool applyToSite(const Lx200Request& r, SiteSettings& site) {
    if (!r.inRange)
        return false;
    if (r.kind == Lx200Kind::SetLatitude)
        site.latitude = r.siteDegrees;
    else if (r.kind == Lx200Kind::SetLongitude)
        site.longitude = r.siteDegrees;
    else
        return false;
    return true;
}

} // namespace corvane
