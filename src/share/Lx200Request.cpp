#include "share/Lx200Request.h"

#include "share/AngleText.h"

#include <QDate>

#include <cmath>

namespace corvane {

namespace {

// The commands that carry no value.
struct FixedCommand {
    const char* body;
    Lx200Kind kind;
    Direction direction = Direction::North;
    SlewRate rate = SlewRate::Guide;
};

const FixedCommand kFixed[] = {
    {"GR", Lx200Kind::GetRa},
    {"GD", Lx200Kind::GetDec},
    {"Gr", Lx200Kind::GetTargetRa},
    {"Gd", Lx200Kind::GetTargetDec},
    {"D", Lx200Kind::DistanceBars},
    {"U", Lx200Kind::PrecisionToggle},
    {"MS", Lx200Kind::Goto},
    {"CM", Lx200Kind::Sync},
    {"Q", Lx200Kind::StopAll},
    {"Qn", Lx200Kind::Stop, Direction::North},
    {"Qs", Lx200Kind::Stop, Direction::South},
    {"Qe", Lx200Kind::Stop, Direction::East},
    {"Qw", Lx200Kind::Stop, Direction::West},
    {"Mn", Lx200Kind::Move, Direction::North},
    {"Ms", Lx200Kind::Move, Direction::South},
    {"Me", Lx200Kind::Move, Direction::East},
    {"Mw", Lx200Kind::Move, Direction::West},
    {"RG", Lx200Kind::SetRate, Direction::North, SlewRate::Guide},
    {"RC", Lx200Kind::SetRate, Direction::North, SlewRate::Centering},
    {"RM", Lx200Kind::SetRate, Direction::North, SlewRate::Find},
    {"RS", Lx200Kind::SetRate, Direction::North, SlewRate::Slew},
    {"GVP", Lx200Kind::ProductName},
    {"GVN", Lx200Kind::FirmwareVersion},
    {"GVD", Lx200Kind::FirmwareDate},
    {"GVT", Lx200Kind::FirmwareTime},
    {"Gt", Lx200Kind::GetLatitude},
    {"Gg", Lx200Kind::GetLongitude},
    {"GG", Lx200Kind::GetUtcOffset},
    {"GL", Lx200Kind::GetLocalTime},
    {"GC", Lx200Kind::GetDate},
    {"Gc", Lx200Kind::GetClockFormat},
    {"GM", Lx200Kind::GetSiteName},
    {"GT", Lx200Kind::GetTrackingRate},
};

// Furthest a client may put the time zone from Greenwich, in hours.
constexpr int kLargestUtcOffsetTenths = 140;

bool allDigits(const QByteArray& t) {
    for (const char c : t) {
        if (c < '0' || c > '9')
            return false;
    }
    return !t.isEmpty();
}

std::optional<Direction> directionOf(char c) {
    switch (c) {
    case 'n':
        return Direction::North;
    case 's':
        return Direction::South;
    case 'e':
        return Direction::East;
    case 'w':
        return Direction::West;
    default:
        return std::nullopt;
    }
}

// "Mgn250": a direction and 1 to 5 digits, at most kLongestClientPulseMs.
Lx200Request pulse(const QByteArray& body) {
    Lx200Request r;
    const auto d = directionOf(body.at(2));
    const QByteArray digits = body.mid(3);
    if (!d || digits.size() > 5 || !allDigits(digits) || digits.toInt() > kLongestClientPulseMs)
        return r;
    r.kind = Lx200Kind::Pulse;
    r.direction = *d;
    r.pulseMs = digits.toInt();
    return r;
}

Lx200Request target(Lx200Kind kind, const QByteArray& value) {
    Lx200Request r;
    r.kind = Lx200Kind::BadCoordinate;
    if (kind == Lx200Kind::SetTargetRa) {
        if (const auto ra = boardRaFromText(value)) {
            r.kind = kind;
            r.ra = *ra;
        }
    } else if (const auto dec = boardDecFromText(value)) {
        r.kind = kind;
        r.dec = *dec;
    }
    return r;
}

double signedDegrees(const AngleText& a) {
    const double magnitude = static_cast<double>(a.thousandths) / kThousandthsPerUnit;
    return a.negative ? -magnitude : magnitude;
}

// "sDD*MM" or "sDD*MM:SS", north positive.
std::optional<double> latitude(const QByteArray& value) {
    const auto a = readAngleText(value, AngleForm{2, true, kDegreeMarks});
    if (!a || a->thousandths > 90 * kThousandthsPerUnit)
        return std::nullopt;
    return signedDegrees(*a);
}

// "DDD*MM" (or with seconds, or signed), west positive as LX200 counts it;
// returned east positive, in (-180, 180].
std::optional<double> longitude(const QByteArray& value) {
    const auto a = readAngleText(value, AngleForm{3, true, kDegreeMarks});
    if (!a || a->thousandths > 360 * kThousandthsPerUnit)
        return std::nullopt;
    double east = -signedDegrees(*a);
    while (east <= -180.0)
        east += 360.0;
    while (east > 180.0)
        east -= 360.0;
    return east;
}

// "sHH" or "sHH.H": the hours to add to local time to get UTC.
bool utcOffsetInRange(const QByteArray& value) {
    QByteArray t = value;
    if (t.startsWith('+') || t.startsWith('-'))
        t = t.mid(1);
    const int point = t.indexOf('.');
    const QByteArray hours = point < 0 ? t : t.left(point);
    const QByteArray tenths = point < 0 ? QByteArray("0") : t.mid(point + 1);
    if (hours.size() > 2 || tenths.size() != 1 || !allDigits(hours) || !allDigits(tenths))
        return false;
    return hours.toInt() * 10 + tenths.toInt() <= kLargestUtcOffsetTenths;
}

// "HH:MM:SS".
bool localTimeInRange(const QByteArray& value) {
    const auto a = readAngleText(value, AngleForm{2, false, ":"});
    return a && a->lead < 24;
}

// "MM/DD/YY", a day that exists (the years taken as 2000 to 2099).
bool dateInRange(const QByteArray& value) {
    if (value.size() != 8 || value.at(2) != '/' || value.at(5) != '/')
        return false;
    const QByteArray mm = value.left(2), dd = value.mid(3, 2), yy = value.mid(6);
    if (!allDigits(mm) || !allDigits(dd) || !allDigits(yy))
        return false;
    return QDate(2000 + yy.toInt(), mm.toInt(), dd.toInt()).isValid();
}

Lx200Request siteOrTime(Lx200Kind kind, const QByteArray& value) {
    Lx200Request r;
    r.kind = kind;
    std::optional<double> degrees;
    switch (kind) {
    case Lx200Kind::SetLatitude:
        degrees = latitude(value);
        r.inRange = degrees.has_value();
        break;
    case Lx200Kind::SetLongitude:
        degrees = longitude(value);
        r.inRange = degrees.has_value();
        break;
    case Lx200Kind::SetUtcOffset:
        r.inRange = utcOffsetInRange(value);
        break;
    case Lx200Kind::SetLocalTime:
        r.inRange = localTimeInRange(value);
        break;
    default:
        r.inRange = dateInRange(value);
        break;
    }
    r.siteDegrees = degrees.value_or(0.0);
    return r;
}

// The commands "S" + letter + value; a blank may follow the letters.
std::optional<Lx200Kind> setterKind(const QByteArray& body) {
    if (body.size() < 2 || body.at(0) != 'S')
        return std::nullopt;
    switch (body.at(1)) {
    case 'r':
        return Lx200Kind::SetTargetRa;
    case 'd':
        return Lx200Kind::SetTargetDec;
    case 't':
        return Lx200Kind::SetLatitude;
    case 'g':
        return Lx200Kind::SetLongitude;
    case 'G':
        return Lx200Kind::SetUtcOffset;
    case 'L':
        return Lx200Kind::SetLocalTime;
    case 'C':
        return Lx200Kind::SetDate;
    default:
        return std::nullopt;
    }
}

} // namespace

Lx200Request parseLx200Request(const QByteArray& request) {
    Lx200Request r;
    if (request == "\x06") {
        r.kind = Lx200Kind::Ack;
        return r;
    }
    if (request.size() < 2 || !request.startsWith(':') || !request.endsWith('#'))
        return r;
    const QByteArray body = request.mid(1, request.size() - 2);
    for (const FixedCommand& f : kFixed) {
        if (body == f.body) {
            r.kind = f.kind;
            r.direction = f.direction;
            r.rate = f.rate;
            return r;
        }
    }
    if (body.size() > 3 && body.startsWith("Mg"))
        return pulse(body);
    const auto setter = setterKind(body);
    if (!setter)
        return r;
    const QByteArray value = withoutLeadingBlanks(body.mid(2));
    if (*setter == Lx200Kind::SetTargetRa || *setter == Lx200Kind::SetTargetDec)
        return target(*setter, value);
    return siteOrTime(*setter, value);
}

} // namespace corvane
