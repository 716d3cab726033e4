// What LX200 clients are answered without asking the board: the product,
// the site and the clock, for a pinned time and site.
#include "share/Lx200Answers.h"

#include <QtTest>

using namespace corvane;

namespace {

// 2024-03-05 21:07:09 UTC, in a zone one hour east of Greenwich.
QDateTime pinnedNow(int offsetSeconds = 3600) {
    return QDateTime(QDate(2024, 3, 5), QTime(21, 7, 9), Qt::UTC).toOffsetFromUtc(offsetSeconds);
}

QByteArray answer(const QByteArray& request, const SiteSettings& site = {},
                  const QDateTime& now = pinnedNow()) {
    return localAnswer(parseLx200Request(request), site, now, QStringLiteral("3.60"));
}

} // namespace

class TestLx200Answers : public QObject {
    Q_OBJECT
private slots:
    // Every query answered at once, in the forms clients parse.
    void queriesForAPinnedSiteAndTime() {
        SiteSettings site;
        site.latitude = 48.1375; // 48*08.25' north
        site.longitude = 11.5;   // east: LX200 counts it 348*30 west
        site.name = QStringLiteral("Munich");
        QList<QByteArray> answers;
        for (const char* r : {"\x06", ":GVP#", ":GVN#", ":GVD#", ":GVT#", ":Gt#", ":Gg#", ":GG#",
                              ":GL#", ":GC#", ":Gc#", ":GM#", ":GT#", ":Sr 99:00#"})
            answers.append(answer(r, site));
        QCOMPARE(answers, QList<QByteArray>({"P", "Corvane#", "3.60#", "Mar 05 2024#", "22:07:09#",
                                             "+48*08#", "348*30#", "-01#", "22:07:09#", "03/05/24#",
                                             "24#", "Munich#", "60.1#", "0"}));
        // Requests that are answered by the board, or not at all.
        for (const char* r : {":GR#", ":MS#", ":U#", ":Mn#", ":XX#"})
            QCOMPARE(answer(r, site), QByteArray());
    }

    // Signs and carries of the site and zone: south and west of Greenwich,
    // a latitude just below a whole degree, zones off the whole hour, the
    // local date a day behind UTC.
    void signsAndCarries() {
        SiteSettings site;
        site.latitude = -33.99999;
        site.longitude = -0.2;
        QCOMPARE(answer(":Gt#", site), QByteArray("-34*00#"));
        QCOMPARE(answer(":Gg#", site), QByteArray("000*12#"));
        site.longitude = 179.9999;
        site.latitude = -0.004;
        QCOMPARE(answer(":Gg#", site), QByteArray("180*00#"));
        QCOMPARE(answer(":Gt#", site), QByteArray("+00*00#"));
        site.longitude = 0.0001;
        QCOMPARE(answer(":Gg#", site), QByteArray("000*00#"));
        const QDateTime newYork = pinnedNow(-5 * 3600);
        QCOMPARE(answer(":GG#", site, newYork) + answer(":GC#", site, newYork) +
                     answer(":GL#", site, newYork),
                 QByteArray("+05#03/05/24#16:07:09#"));
        const QDateTime samoa = pinnedNow(-11 * 3600);
        QCOMPARE(answer(":GC#", site, samoa), QByteArray("03/05/24#"));
        QCOMPARE(answer(":GC#", site, pinnedNow(5 * 3600)), QByteArray("03/06/24#"));
        QCOMPARE(answer(":GG#", site, pinnedNow(5 * 3600 + 1800)), QByteArray("-05.5#"));
        QCOMPARE(answer(":GG#", site, pinnedNow(0)), QByteArray("+00#"));
    }

    // Setters are checked and answered "1" or "0"; a latitude and longitude
    // in range change the site (longitudes turned back to east positive),
    // the clock setters change nothing.
    void settersCheckAndUpdateTheSite() {
        const QList<QPair<QByteArray, QByteArray>> cases{
            {":St+52*30#", "1"},    {":St -33*52:30#", "1"}, {":St +90*00#", "1"},
            {":St +90*01#", "0"},   {":St 52.5#", "0"},      {":Sg 348*30#", "1"},
            {":Sg011*30#", "1"},    {":Sg 360*00#", "1"},    {":Sg 360*01#", "0"},
            {":Sg 34*30x#", "0"},   {":SG -05.5#", "1"},     {":SG+01#", "1"},
            {":SG +15#", "0"},      {":SG 1.25#", "0"},      {":SL 23:59:59#", "1"},
            {":SL 24:00:00#", "0"}, {":SL 12:60:00#", "0"},  {":SC 02/29/24#", "1"},
            {":SC 02/29/23#", "0"}, {":SC 13/01/24#", "0"},  {":SC 1/1/24#", "0"}};
        for (const auto& [request, expected] : cases) {
            const QByteArray got = answer(request);
            QCOMPARE(got.left(1), expected);
            QCOMPARE(got.size() > 1, request.startsWith(":SC") && expected == "1");
        }
        const QByteArray dateAnswer = answer(":SC 03/05/24#");
        QCOMPARE(dateAnswer.split('#'),
                 QList<QByteArray>({"1Updating Planetary Data         ", QByteArray(32, ' '), ""}));

        SiteSettings site;
        QVERIFY(applyToSite(parseLx200Request(":St -33*52:30#"), site));
        QVERIFY(applyToSite(parseLx200Request(":Sg 348*30#"), site));
        QCOMPARE(site.latitude, -33.875);
        QCOMPARE(site.longitude, 11.5);
        QCOMPARE(answer(":Gg#", site), QByteArray("348*30#"));
        QVERIFY(applyToSite(parseLx200Request(":Sg 011*30#"), site));
        QCOMPARE(site.longitude, -11.5);
        for (const char* unchanged : {":St +91*00#", ":SG -05#", ":SL 10:00:00#", ":GR#"})
            QVERIFY(!applyToSite(parseLx200Request(unchanged), site));
        QCOMPARE(site.latitude, -33.875);
        QCOMPARE(site.longitude, -11.5);
    }

    // Texts from elsewhere never end an answer early or run on.
    void outsideTextsAreKeptInTheirAnswer() {
        SiteSettings site;
        site.name = QString::fromUtf8("Obs#1\r\n\xC3\xA9t\xC3\xA9 and a very long name indeed");
        QCOMPARE(answer(":GM#", site), QByteArray("Obs1t and a very#"));
        QCOMPARE(localAnswer(parseLx200Request(":GVN#"), site, pinnedNow(), "3.6#0"),
                 QByteArray("3.60#"));
    }
};

QTEST_GUILESS_MAIN(TestLx200Answers)
#include "test_lx200_answers.moc"
