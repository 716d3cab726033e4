#include "config/SettingLists.h"

namespace corvane {

namespace {

// The three speed lists share their entries; the command carries the entry
// index and the number of the speed setting: "#4:Ss1#" is 27X for the 16X
// paddle speed.
constexpr int kSpeedMultiples[] = {4, 8, 16, 20, 27, 40};
constexpr int kSpeedCount = int(sizeof kSpeedMultiples / sizeof kSpeedMultiples[0]);

QStringList speedEntries() {
    QStringList out;
    for (const int m : kSpeedMultiples)
        out << QString::number(m) + QLatin1Char('X');
    return out;
}

QStringList speedCommands(int setting) {
    QStringList out;
    for (int i = 0; i < kSpeedCount; ++i)
        out << QStringLiteral("#%1:Ss%2#").arg(i).arg(setting);
    return out;
}

QVector<int> speedCodes() {
    QVector<int> out;
    for (int i = 0; i < kSpeedCount; ++i)
        out << i;
    return out;
}

QVector<SettingListInfo> makeListInfos() {
    const QStringList speeds = speedEntries();
    return {
        {QStringLiteral("cbGuideRate"),
         QStringLiteral("Guide Rate"),
         {QStringLiteral("1.33X"), QStringLiteral("1.67X"), QStringLiteral("2X")},
         {QStringLiteral("#>G"), QStringLiteral("#<-G"), QStringLiteral("#<G")},
         {1, 2, 3},
         false,
         false},
        {QStringLiteral("cbEightX"), QStringLiteral("Paddle 8X"), speeds, speedCommands(0),
         speedCodes(), true, false},
        {QStringLiteral("cbSixteenX"), QStringLiteral("Paddle 16X"), speeds, speedCommands(1),
         speedCodes(), true, false},
        {QStringLiteral("cbGotoSpd"), QStringLiteral("Goto Speed"), speeds, speedCommands(2),
         speedCodes(), true, false},
        {QStringLiteral("cbTrackSpd"),
         QStringLiteral("Track Speed"),
         {QStringLiteral("Disabled"), QStringLiteral("SideReal"), QStringLiteral("Solar"),
          QStringLiteral("Lunar")},
         {QStringLiteral("#-1T#"), QStringLiteral("#0T#"), QStringLiteral("#1T#"),
          QStringLiteral("#2T#")},
         {-1, 0, 1, 2},
         true,
         false},
        {QStringLiteral("cbOrient"),
         QStringLiteral("Orientation"),
         {QStringLiteral("Left"), QStringLiteral("Right")},
         {QStringLiteral("#<X"), QStringLiteral("#>X")},
         {0, 1},
         false,
         false},
        {QStringLiteral("cbRotation"),
         QStringLiteral("Rotation"),
         {QStringLiteral("Original"), QStringLiteral("Reverse")},
         {QStringLiteral("#<x"), QStringLiteral("#>x")},
         {0, 1},
         false,
         false},
        {QStringLiteral("cbGearRatio"),
         QStringLiteral("Gear Ratio"),
         {QStringLiteral("Original"), QStringLiteral("Quenta"), QStringLiteral("MT-1")},
         {QStringLiteral("#132g"), QStringLiteral("#100g"), QStringLiteral("#120g")},
         {132, 100, 120},
         false,
         true},
        {QStringLiteral("cbDecFin"),
         QStringLiteral("DEC Finish Dir"),
         {QStringLiteral("Pos"), QStringLiteral("None"), QStringLiteral("Neg")},
         {QStringLiteral("#1M"), QStringLiteral("#0M"), QStringLiteral("#-1M")},
         {1, 0, -1},
         false,
         false},
        {QStringLiteral("cbRAfin"),
         QStringLiteral("RA Finish Dir"),
         {QStringLiteral("Pos"), QStringLiteral("None"), QStringLiteral("Neg")},
         {QStringLiteral("#1m"), QStringLiteral("#0m"), QStringLiteral("#-1m")},
         {1, 0, -1},
         false,
         false},
    };
}

const QVector<NumberSettingInfo>& numberInfos() {
    static const QVector<NumberSettingInfo> infos = {
        {QStringLiteral("DecBLtxt"), QStringLiteral("cmdDecBL"), QStringLiteral("DEC Backlash"),
         QLatin1Char('B'), false},
        {QStringLiteral("RABLtxt"), QStringLiteral("cmdRABL"), QStringLiteral("RA Backlash"),
         QLatin1Char('b'), false},
        {QStringLiteral("DECWormRatiotxt"), QStringLiteral("cmdDECWormRatio"), QStringLiteral("D"),
         QLatin1Char('d'), true},
        {QStringLiteral("WormRatiotxt"), QStringLiteral("cmdWormRatio"),
         QStringLiteral("Worm Ratio"), QLatin1Char('W'), true},
        {QStringLiteral("WormWheeltxt"), QStringLiteral("cmdWormWheel"),
         QStringLiteral("Worm Wheel"), QLatin1Char('w'), true},
    };
    return infos;
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A gear ratio that is no preset goes out as its number, one from 1 to
// 65535.
ListPick customGearPick(int ratio) {
    if (ratio < 1 || ratio > 65535)
        return {QString(), true};
    return {QLatin1Char('#') + QString::number(ratio) + QLatin1Char('g'), false};
}

} // namespace

const SettingListInfo& settingListInfo(SettingList list) {
    static const QVector<SettingListInfo> infos = makeListInfos();
    return infos.at(static_cast<int>(list));
}

QVector<SettingList> allSettingLists() {
    QVector<SettingList> out;
    for (int i = 0; i < kSettingListCount; ++i)
        out << static_cast<SettingList>(i);
    return out;
}

std::optional<quint16> wholeNumberValue(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    quint32 value = 0;
    for (const QChar c : digits) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<quint32>(c.unicode() - '0');
        if (value > 65535) // also keeps a long run of digits from overflowing
            return std::nullopt;
    }
    return static_cast<quint16>(value);
}

std::optional<QString> wholeNumberText(const QString& text) {
    if (const auto v = wholeNumberValue(text))
        return QString::number(*v);
    return std::nullopt;
}

ListPick listCommand(SettingList list, const QString& text) {
    const SettingListInfo& info = settingListInfo(list);
    const int index = info.entries.indexOf(text);
    if (index >= 0)
        return {info.commands.at(index), false};
    if (list != SettingList::GearRatio)
        return {};
    const auto ratio = wholeNumberValue(text);
    return customGearPick(ratio ? *ratio : 0);
}

ListPick listCommand(SettingList list, const SettingValue& value) {
    if (!value.isValue())
        return listCommand(list, value.text());
    const SettingListInfo& info = settingListInfo(list);
    const int index = info.codes.indexOf(value.value());
    if (index >= 0)
        return {info.commands.at(index), false};
    if (list != SettingList::GearRatio)
        return {};
    return customGearPick(value.value());
}

const NumberSettingInfo& numberSettingInfo(NumberSetting s) {
    return numberInfos().at(static_cast<int>(s));
}

QVector<NumberSetting> allNumberSettings() {
    QVector<NumberSetting> out;
    for (int i = 0; i < kNumberSettingCount; ++i)
        out << static_cast<NumberSetting>(i);
    return out;
}

QString numberSettingTitle(NumberSetting s) {
    if (s == NumberSetting::DecWormRatio)
        return QStringLiteral("DEC Worm Ratio");
    return numberSettingInfo(s).label;
}

std::optional<QString> settingNumberText(const QString& text) {
    const QString trimmed = text.trimmed();
    const bool negative = trimmed.startsWith(QLatin1Char('-'));
    const auto magnitude = wholeNumberValue(negative ? trimmed.mid(1) : trimmed);
    // A blank between the sign and the digits is no number; wholeNumberValue
    // would let it through by trimming.
    if (!magnitude || (negative && (trimmed.size() < 2 || !isAsciiDigit(trimmed.at(1)))))
        return std::nullopt;
    const int value = negative ? -int(*magnitude) : int(*magnitude);
    if (value < -32768)
        return std::nullopt;
    return QString::number(value);
}

std::optional<QString> numberCommand(NumberSetting s, const QString& text) {
    const auto number = settingNumberText(text);
    if (!number)
        return std::nullopt;
    return QLatin1Char('#') + *number + numberSettingInfo(s).letter;
}

std::optional<QString> numberCommand(NumberSetting s, const SettingValue& value) {
    if (!value.isValue())
        return numberCommand(s, value.text());
    return QLatin1Char('#') + QString::number(value.value()) + numberSettingInfo(s).letter;
}

SettingValue SettingValue::of(int value) {
    SettingValue v;
    v.m_state = State::Value;
    v.m_value = value;
    return v;
}

SettingValue SettingValue::typed(const QString& text) {
    SettingValue v;
    if (!text.isEmpty()) {
        v.m_state = State::Text;
        v.m_text = text;
    }
    return v;
}

bool SettingValue::isBlank() const {
    return isEmpty() || (isText() && m_text.trimmed().isEmpty());
}

QString listText(SettingList list, const SettingValue& value) {
    if (!value.isValue())
        return value.text();
    const SettingListInfo& info = settingListInfo(list);
    const int index = info.codes.indexOf(value.value());
    if (index >= 0)
        return info.entries.at(index);
    return list == SettingList::GearRatio ? QString::number(value.value()) : QString();
}

SettingValue listValue(SettingList list, const QString& text) {
    const SettingListInfo& info = settingListInfo(list);
    const int index = info.entries.indexOf(text);
    if (index >= 0)
        return SettingValue::of(info.codes.at(index));
    if (list == SettingList::GearRatio) {
        const auto ratio = wholeNumberValue(text);
        // "132" is a text: the ratio 132 shows as "Original".
        if (ratio && listText(list, SettingValue::of(*ratio)) == text)
            return SettingValue::of(*ratio);
    }
    return SettingValue::typed(text);
}

QString numberText(const SettingValue& value) {
    return value.isValue() ? QString::number(value.value()) : value.text();
}

SettingValue numberValue(const QString& text) {
    const auto number = settingNumberText(text);
    return number && *number == text ? SettingValue::of(number->toInt())
                                     : SettingValue::typed(text);
}

int speedMultiple(int code) {
    return code >= 0 && code < kSpeedCount ? kSpeedMultiples[code] : 0;
}

QString invalidEntryMessage(NumberSetting s) {
    return QStringLiteral("Invalid Entry: ") + numberSettingTitle(s);
}

QString invalidEntryMessage(SettingList list) {
    return QStringLiteral("Invalid Entry: ") + settingListInfo(list).label;
}

QStringList powerCycleNoticeLines() {
    return {QStringLiteral("To enable this change you must"),
            QStringLiteral("Click the Save Settings Button"),
            QStringLiteral("Then Power Cycle the mount")};
}

QString powerCycleNoticeText() {
    return powerCycleNoticeLines().join(QStringLiteral("\r\n"));
}

bool acceptsCustomGear(const QString& text) {
    const auto ratio = wholeNumberValue(text);
    return ratio && *ratio > 0 && *ratio < 500;
}

} // namespace corvane
