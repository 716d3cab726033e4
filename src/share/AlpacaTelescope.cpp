#include "share/AlpacaTelescope.h"

#include "common/ClockTimer.h"
#include "link/BoardLine.h"
#include "motion/Guiding.h"
#include "motion/MountPosition.h"
#include "session/MountSession.h"
#include "share/ShareSettings.h"
#include "share/SharedMount.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

namespace corvane {

namespace {

// What the rate buttons show when no readback has named them.
constexpr double kDefaultRates[3] = {2.0, 8.0, 16.0};

// The leading multiple of sidereal in a rate button's caption ("1.33X").
std::optional<double> multiple(const QString& caption) {
    static const QRegularExpression form(QStringLiteral("^\\s*([0-9]{1,2}(\\.[0-9]{1,2})?)\\s*X"));
    const QRegularExpressionMatch m = form.match(caption);
    if (!m.hasMatch())
        return std::nullopt;
    const double x = m.captured(1).toDouble();
    return x > 0.0 ? std::optional<double>(x) : std::nullopt;
}

QJsonObject state(const QString& name, const QJsonValue& value) {
    return {{QStringLiteral("Name"), name}, {QStringLiteral("Value"), value}};
}

} // namespace

AlpacaTelescope::AlpacaTelescope(SharedMount& mount, ShareSettings& settings, QString uniqueId,
                                 QObject* parent)
    : AlpacaCommon(mount, parent), m_settings(settings), m_uniqueId(std::move(uniqueId)),
      m_pulseTimer(
          new ClockTimer(mount.session().clock(), QStringLiteral("alpacaPulseTimer"), this)) {
    m_pulseTimer->setSingleShot(true);
    connect(m_pulseTimer, &ClockTimer::timeout, m_pulseTimer, &ClockTimer::stop);
    // The window's STOP (or any client's) ends what clients started.
    connect(&mount, &SharedMount::stopped, this, &AlpacaTelescope::forgetMotion);
    connect(&session(), &MountSession::disconnected, this, &AlpacaTelescope::forgetMotion);
    addReads();
    addSite();
    addTarget();
    addCapabilities();
    addMotion();
    addMoves();
}

QString AlpacaTelescope::description() const {
    return QStringLiteral("The telescope mount on the Corvane controller board");
}

std::array<double, 3> AlpacaTelescope::axisRates() const {
    std::array<double, 3> rates{};
    for (int i = 0; i < 3; ++i)
        rates[i] = multiple(session().guiding().rateCaption(i)).value_or(kDefaultRates[i]) *
                   kSiderealDegreesPerSecond;
    return rates;
}

double AlpacaTelescope::siderealHours() const {
    return localApparentSiderealHours(session().clock().utcNow(), m_settings.site.longitude);
}

Horizontal AlpacaTelescope::horizontal(const SkyPosition& at) const {
    return horizontalOf(at.raHours, at.decDegrees, m_settings.site.latitude, siderealHours());
}

// The shared position when it is recent enough; a reading that failed is
// covered by the last good one while that is recent enough too.
void AlpacaTelescope::readPosition(const Done& done, std::function<void(const SkyPosition&)> use) {
    mount().position(this, [this, done, use](std::optional<SkyPosition> at, const QString&,
                                             const QString&) {
        const qint64 now = session().clock().nowMs();
        if (at) {
            const qint64 age = now - session().position().updatedMs();
            if (age <= kOldestPositionMs) {
                m_lastGood = Reading{*at, now - age};
                return use(*at);
            }
            return done(AlpacaReply::error(
                kAlpacaDriverError,
                QStringLiteral("The mount's position was last read %1 s ago, while the %2 keeps "
                               "the board busy; it is not given as current.")
                    .arg(age / 1000)
                    .arg(session().line().runningName())));
        }
        if (m_lastGood && now - m_lastGood->atMs <= kOldestPositionMs)
            return use(m_lastGood->position);
        done(AlpacaReply::error(kAlpacaDriverError,
                                m_lastGood ? QStringLiteral("The board has not given the mount's "
                                                            "position for %1 s.")
                                                 .arg((now - m_lastGood->atMs) / 1000)
                                           : QStringLiteral("The board did not give the mount's "
                                                            "position.")));
    });
}

void AlpacaTelescope::addReads() {
    const auto read = [this](std::function<QJsonValue(const SkyPosition&)> value) {
        return [this, value](const AlpacaRequest&, const Done& done) {
            readPosition(
                done, [done, value](const SkyPosition& at) { done(AlpacaReply::ok(value(at))); });
        };
    };
    onGet(QStringLiteral("rightascension"), Needs::Board,
          read([](const SkyPosition& at) { return at.raHours; }));
    onGet(QStringLiteral("declination"), Needs::Board,
          read([](const SkyPosition& at) { return at.decDegrees; }));
    onGet(QStringLiteral("altitude"), Needs::Board,
          read([this](const SkyPosition& at) { return horizontal(at).altitude; }));
    onGet(QStringLiteral("azimuth"), Needs::Board,
          read([this](const SkyPosition& at) { return horizontal(at).azimuth; }));
    onGet(
        QStringLiteral("siderealtime"), Needs::Nothing,
        [this](const AlpacaRequest&, const Done& done) { done(AlpacaReply::ok(siderealHours())); });
    onGet(QStringLiteral("utcdate"), Needs::Nothing,
          [this](const AlpacaRequest&, const Done& done) {
              done(AlpacaReply::ok(alpacaDate(session().clock().utcNow())));
          });
    notImplemented(QStringLiteral("utcdate"), false, true);
    onGet(QStringLiteral("slewing"), Needs::Board,
          [this](const AlpacaRequest&, const Done& done) { readSlewing(done); });
    onGet(QStringLiteral("ispulseguiding"), Needs::Board,
          [this](const AlpacaRequest&, const Done& done) {
              done(AlpacaReply::ok(m_pulseTimer->isActive()));
          });
}

void AlpacaTelescope::setSite(const AlpacaRequest& r, const Done& done, const QString& name,
                              double low, double high, double SiteSettings::*field) {
    const std::optional<double> value = numberParameter(r, name, done);
    if (!value)
        return;
    if (*value < low || *value > high)
        return done(AlpacaReply::error(
            kAlpacaInvalidValue,
            QStringLiteral("%1 must lie from %2 to %3.").arg(name).arg(low).arg(high)));
    m_settings.site.*field = *value;
    emit siteChanged();
    done(AlpacaReply::ok());
}

void AlpacaTelescope::addSite() {
    struct Field {
        const char* member;
        double low, high;
        double SiteSettings::*field;
    };
    static const Field fields[] = {
        {"sitelatitude", -90.0, 90.0, &SiteSettings::latitude},
        {"sitelongitude", -180.0, 180.0, &SiteSettings::longitude},
        {"siteelevation", -300.0, 10000.0, &SiteSettings::elevation},
    };
    for (const Field& f : fields) {
        const QString member = QLatin1String(f.member);
        onGet(member, Needs::Nothing, [this, f](const AlpacaRequest&, const Done& done) {
            done(AlpacaReply::ok(m_settings.site.*(f.field)));
        });
        onPut(member, Needs::Nothing, [this, f, member](const AlpacaRequest& r, const Done& done) {
            setSite(r, done, member, f.low, f.high, f.field);
        });
    }
}

void AlpacaTelescope::addTarget() {
    const auto get = [](const std::optional<double>& value, const char* what) {
        return [&value, what](const AlpacaRequest&, const Done& done) {
            done(value
                     ? AlpacaReply::ok(*value)
                     : AlpacaReply::error(
                           kAlpacaValueNotSet,
                           QStringLiteral("No target %1 has been set.").arg(QLatin1String(what))));
        };
    };
    onGet(QStringLiteral("targetrightascension"), Needs::Nothing,
          get(m_targetRa, "right ascension"));
    onGet(QStringLiteral("targetdeclination"), Needs::Nothing, get(m_targetDec, "declination"));
    const auto put = [](std::optional<double>& slot, const char* name, double low, double high) {
        return [&slot, name, low, high](const AlpacaRequest& r, const Done& done) {
            const QString member = QLatin1String(name);
            const std::optional<double> value = numberParameter(r, member, done);
            if (!value)
                return;
            // Right ascension runs up to, not including, 24 hours.
            if (*value < low || *value > high || (high == 24.0 && *value >= high))
                return done(AlpacaReply::error(
                    kAlpacaInvalidValue,
                    QStringLiteral("%1 %2 is out of range.").arg(member).arg(*value)));
            slot = *value;
            done(AlpacaReply::ok());
        };
    };
    onPut(QStringLiteral("targetrightascension"), Needs::Nothing,
          put(m_targetRa, "targetrightascension", 0.0, 24.0));
    onPut(QStringLiteral("targetdeclination"), Needs::Nothing,
          put(m_targetDec, "targetdeclination", -90.0, 90.0));
}

void AlpacaTelescope::addCapabilities() {
    for (const char* yes : {"canslewasync", "cansync", "canpulseguide"})
        constant(QLatin1String(yes), true);
    for (const char* no :
         {"canfindhome", "canpark", "cansetdeclinationrate", "cansetguiderates", "cansetpark",
          "cansetpierside", "cansetrightascensionrate", "cansettracking", "canslew", "canslewaltaz",
          "canslewaltazasync", "cansyncaltaz", "canunpark", "doesrefraction"})
        constant(QLatin1String(no), false);
    constant(QStringLiteral("alignmentmode"), 1); // polar, as LX200 clients are told ("P")
    constant(QStringLiteral("tracking"), true);   // the board always tracks
    constant(QStringLiteral("trackingrate"), 0);  // sidereal
    constant(QStringLiteral("trackingrates"), QJsonArray{0});
    constant(QStringLiteral("declinationrate"), 0.0);
    constant(QStringLiteral("rightascensionrate"), 0.0);
    onGet(QStringLiteral("equatorialsystem"), Needs::Nothing,
          [this](const AlpacaRequest&, const Done& done) {
              done(AlpacaReply::ok(m_settings.syncedJNow ? 1 : 2)); // JNow or J2000
          });
    for (const char* rate : {"guideratedeclination", "guideraterightascension"})
        onGet(QLatin1String(rate), Needs::Nothing, [this](const AlpacaRequest&, const Done& done) {
            done(AlpacaReply::ok(guideRate()));
        });
    for (const char* setter : {"tracking", "trackingrate", "declinationrate", "rightascensionrate",
                               "guideratedeclination", "guideraterightascension", "doesrefraction"})
        notImplemented(QLatin1String(setter), false, true);
    for (const char* member : {"aperturearea", "aperturediameter", "focallength", "athome",
                               "atpark", "sideofpier", "slewsettletime"})
        notImplemented(QLatin1String(member), true, false);
    for (const char* member : {"sideofpier", "slewsettletime"})
        notImplemented(QLatin1String(member), false, true);
    for (const char* member :
         {"findhome", "park", "unpark", "setpark", "slewtoaltaz", "slewtoaltazasync", "synctoaltaz",
          "slewtocoordinates", "slewtotarget"})
        notImplemented(QLatin1String(member), false, true);
    onGet(QStringLiteral("destinationsideofpier"), Needs::Nothing,
          [](const AlpacaRequest&, const Done& done) {
              done(AlpacaReply::error(kAlpacaNotImplemented,
                                      QStringLiteral("The mount does not report its pier side.")));
          });
}

void AlpacaTelescope::deviceState(const Done& done) {
    readPosition(
        [this, done](const AlpacaReply&) {
            // Without a position, the rest of the state still holds.
            done(AlpacaReply::ok(QJsonArray{
                state(QStringLiteral("IsPulseGuiding"), m_pulseTimer->isActive()),
                state(QStringLiteral("SiderealTime"), siderealHours()),
                state(QStringLiteral("Tracking"), true),
                state(QStringLiteral("UTCDate"), alpacaDate(session().clock().utcNow())),
                state(QStringLiteral("TimeStamp"), alpacaDate(session().clock().utcNow()))}));
        },
        [this, done](const SkyPosition& at) {
            const Horizontal h = horizontal(at);
            const bool slewing = stillSlewing() || m_axisRate[0] != 0.0 || m_axisRate[1] != 0.0;
            done(AlpacaReply::ok(QJsonArray{
                state(QStringLiteral("Altitude"), h.altitude),
                state(QStringLiteral("Azimuth"), h.azimuth),
                state(QStringLiteral("Declination"), at.decDegrees),
                state(QStringLiteral("IsPulseGuiding"), m_pulseTimer->isActive()),
                state(QStringLiteral("RightAscension"), at.raHours),
                state(QStringLiteral("SiderealTime"), siderealHours()),
                state(QStringLiteral("Slewing"), slewing), state(QStringLiteral("Tracking"), true),
                state(QStringLiteral("UTCDate"), alpacaDate(session().clock().utcNow())),
                state(QStringLiteral("TimeStamp"), alpacaDate(session().clock().utcNow()))}));
        });
}

} // namespace corvane
