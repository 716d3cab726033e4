#include "config/SettingsDump.h"

namespace corvane {

namespace {

// The two hex digits of byte k, fewer when the text ends inside or before it.
QString byteText(const QString& hex, int k) {
    return hex.mid(3 * k, 2);
}

QChar digitAt(const QString& hex, int position) {
    return position < hex.size() ? hex.at(position) : QChar();
}

// A byte that arrived whole: two hex digits.
bool isWholeByte(const QString& digits) {
    if (digits.size() != 2)
        return false;
    for (const QChar c : digits) {
        const bool hexDigit = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                              (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
                              (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
        if (!hexDigit)
            return false;
    }
    return true;
}

// Reads one dump into a view, setting by setting. Reading a number returns
// false when any of its bytes did not arrive whole; the decoder then stops,
// rather than show a number made of half its bytes.
class Reader {
public:
    explicit Reader(const QString& hex) : m_hex(hex) {}

    SettingsView view;

    // A code byte: the entry whose code equals the byte's text, else
    // `otherwise` (nullopt leaves the list as it was).
    void code(SettingList list, int k, const QStringList& codes, std::optional<QString> otherwise) {
        const int index = codes.indexOf(byteText(m_hex, k));
        view[list] = index >= 0 ? settingListInfo(list).entries.at(index) : otherwise;
    }
    void finish(SettingList list, int k) {
        code(list, k, {QStringLiteral("0F"), QStringLiteral("00"), QStringLiteral("F0")},
             std::nullopt);
    }
    void speed(SettingList list, int k) {
        code(list, k,
             {QStringLiteral("07"), QStringLiteral("08"), QStringLiteral("09"),
              QStringLiteral("0A"), QStringLiteral("0B"), QStringLiteral("0C")},
             QString());
    }
    void tracking(int k) {
        code(SettingList::TrackSpeed, k,
             {QStringLiteral("FF"), QStringLiteral("00"), QStringLiteral("01"),
              QStringLiteral("02")},
             QString());
    }
    // The guide rate also captions the first rate button; its caption for
    // the fastest rate reads "2.0X", the list entry "2X".
    void guideRate(int k) {
        static const QStringList codes = {QStringLiteral("01"), QStringLiteral("02"),
                                          QStringLiteral("03")};
        static const QStringList captions = {QStringLiteral("1.33X"), QStringLiteral("1.67X"),
                                             QStringLiteral("2.0X")};
        const int index = codes.indexOf(byteText(m_hex, k));
        if (index < 0)
            return;
        view[SettingList::GuideRate] = settingListInfo(SettingList::GuideRate).entries.at(index);
        view.rateCaption[0] = captions.at(index);
    }
    // Orientation in the byte's high digit, rotation in its low digit.
    void orientation(int k) {
        view[SettingList::Orientation] =
            settingListInfo(SettingList::Orientation)
                .entries.at(digitAt(m_hex, 3 * k) == QLatin1Char('F') ? 1 : 0);
    }
    void rotation(int k) {
        view[SettingList::Rotation] =
            settingListInfo(SettingList::Rotation)
                .entries.at(digitAt(m_hex, 3 * k + 1) == QLatin1Char('F') ? 1 : 0);
    }

    bool oneByte(int k, int* value) const {
        const QString digits = byteText(m_hex, k);
        if (!isWholeByte(digits))
            return false;
        *value = digits.toInt(nullptr, 16);
        return true;
    }
    // Low byte first; read as a signed 16-bit number.
    bool twoBytes(int k, int* value) const {
        const QString low = byteText(m_hex, k);
        const QString high = byteText(m_hex, k + 1);
        if (!isWholeByte(low) || !isWholeByte(high))
            return false;
        const int v = (high + low).toInt(nullptr, 16);
        *value = v >= 0x8000 ? v - 0x10000 : v;
        return true;
    }

    bool number(NumberSetting s, bool wide, int k) {
        int value = 0;
        if (!(wide ? twoBytes(k, &value) : oneByte(k, &value)))
            return false;
        view[s] = QString::number(value);
        return true;
    }
    // The presets are shown by name, any other ratio by its number.
    bool gear(bool wide, int k) {
        int value = 0;
        if (!(wide ? twoBytes(k, &value) : oneByte(k, &value)))
            return false;
        static const int presets[] = {132, 100, 120};
        QString text = QString::number(value);
        for (int i = 0; i < 3; ++i)
            if (value == presets[i])
                text = settingListInfo(SettingList::GearRatio).entries.at(i);
        view[SettingList::GearRatio] = text;
        return true;
    }

private:
    const QString& m_hex;
};

} // namespace

SettingsView decodeSettingsDump(const QString& hexText) {
    Reader r(hexText);
    r.orientation(11);
    r.rotation(11);
    r.guideRate(7);
    if (!r.gear(false, 13) || !r.number(NumberSetting::DecWormRatio, false, 0) ||
        !r.number(NumberSetting::WormRatio, false, 14) ||
        !r.number(NumberSetting::WormWheel, false, 15) ||
        !r.number(NumberSetting::DecBacklash, true, 5))
        return r.view;
    r.finish(SettingList::DecFinish, 4);
    r.finish(SettingList::RaFinish, 1);
    if (!r.number(NumberSetting::RaBacklash, true, 2))
        return r.view;
    r.tracking(12);
    r.speed(SettingList::GotoSpeed, 10);
    r.speed(SettingList::SixteenX, 9);
    r.speed(SettingList::EightX, 8);
    return r.view;
}

SettingsView decodeSplitSettingsDump(const QString& hexText) {
    Reader r(hexText);
    r.finish(SettingList::RaFinish, 0);
    if (!r.number(NumberSetting::RaBacklash, true, 1))
        return r.view;
    r.finish(SettingList::DecFinish, 3);
    if (!r.number(NumberSetting::DecBacklash, true, 4))
        return r.view;
    r.guideRate(6);
    r.speed(SettingList::EightX, 7);
    r.view.rateCaption[1] = r.view[SettingList::EightX];
    r.speed(SettingList::SixteenX, 8);
    r.view.rateCaption[2] = r.view[SettingList::SixteenX];
    r.speed(SettingList::GotoSpeed, 9);
    r.orientation(10);
    r.rotation(10);
    r.tracking(11);
    if (r.gear(true, 12) && r.number(NumberSetting::WormRatio, true, 14))
        r.number(NumberSetting::WormWheel, true, 16);
    return r.view;
}

} // namespace corvane
