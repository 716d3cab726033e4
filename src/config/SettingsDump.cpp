#include "config/SettingsDump.h"

namespace corvane {

namespace {

// Reads one dump into a view, setting by setting. Byte k of a reception cut
// short may be missing: a code then matches nothing, and reading a number
// returns false, whereupon the decoder stops rather than show a number made
// of half its bytes.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}

    SettingsView view;

    // A code byte: the code of the entry whose byte it is, else `otherwise`
    // (nullopt leaves the list as it was).
    void code(SettingList list, int k, std::initializer_list<int> bytes,
              std::optional<SettingValue> otherwise) {
        int index = 0;
        for (const int b : bytes) {
            if (has(k) && byte(k) == b) {
                setEntry(list, index);
                return;
            }
            ++index;
        }
        view.list[int(list)] = otherwise;
    }
    void finish(SettingList list, int k) { code(list, k, {0x0F, 0x00, 0xF0}, std::nullopt); }
    void speed(SettingList list, int k) {
        code(list, k, {0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C}, SettingValue());
    }
    void tracking(int k) {
        code(SettingList::TrackSpeed, k, {0xFF, 0x00, 0x01, 0x02}, SettingValue());
    }
    // The guide rate also captions the first rate button; its caption for
    // the fastest rate reads "2.0X", the list entry "2X".
    void guideRate(int k) {
        static const QStringList captions = {QStringLiteral("1.33X"), QStringLiteral("1.67X"),
                                             QStringLiteral("2.0X")};
        if (!has(k) || byte(k) < 0x01 || byte(k) > 0x03)
            return;
        const int index = byte(k) - 1;
        setEntry(SettingList::GuideRate, index);
        view.rateCaption[0] = captions.at(index);
    }
    // Orientation in the byte's high digit, rotation in its low digit.
    void orientation(int k) {
        setEntry(SettingList::Orientation, has(k) && (byte(k) >> 4) == 0xF ? 1 : 0);
    }
    void rotation(int k) {
        setEntry(SettingList::Rotation, has(k) && (byte(k) & 0xF) == 0xF ? 1 : 0);
    }

    bool oneByte(int k, int* value) const {
        if (!has(k))
            return false;
        *value = byte(k);
        return true;
    }
    // Low byte first; read as a signed 16-bit number.
    bool twoBytes(int k, int* value) const {
        if (!has(k) || !has(k + 1))
            return false;
        *value = static_cast<qint16>(byte(k) | (byte(k + 1) << 8));
        return true;
    }

    bool number(NumberSetting s, bool wide, int k) {
        int value = 0;
        if (!(wide ? twoBytes(k, &value) : oneByte(k, &value)))
            return false;
        view.number[int(s)] = value;
        return true;
    }
    // The ratio is the value: the presets' codes are their ratios.
    bool gear(bool wide, int k) {
        int value = 0;
        if (!(wide ? twoBytes(k, &value) : oneByte(k, &value)))
            return false;
        view.list[int(SettingList::GearRatio)] = SettingValue::of(value);
        return true;
    }
    // A speed list's caption for a rate button: the text it is to show.
    void speedCaption(int button, SettingList list) {
        view.rateCaption[button] = view[list].value_or(QString());
    }

private:
    void setEntry(SettingList list, int index) {
        view.list[int(list)] = SettingValue::of(settingListInfo(list).codes.at(index));
    }
    bool has(int k) const { return k < m_bytes.size(); }
    int byte(int k) const { return static_cast<uchar>(m_bytes.at(k)); }

    const QByteArray& m_bytes;
};

} // namespace

std::optional<QString> SettingsView::operator[](SettingList l) const {
    if (!list[int(l)])
        return std::nullopt;
    return listText(l, *list[int(l)]);
}

std::optional<QString> SettingsView::operator[](NumberSetting n) const {
    if (!number[int(n)])
        return std::nullopt;
    return QString::number(*number[int(n)]);
}

SettingsView decodeSettingsDump(const QByteArray& dump) {
    Reader r(dump);
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

SettingsView decodeSplitSettingsDump(const QByteArray& dump) {
    Reader r(dump);
    r.finish(SettingList::RaFinish, 0);
    if (!r.number(NumberSetting::RaBacklash, true, 1))
        return r.view;
    r.finish(SettingList::DecFinish, 3);
    if (!r.number(NumberSetting::DecBacklash, true, 4))
        return r.view;
    r.guideRate(6);
    r.speed(SettingList::EightX, 7);
    r.speedCaption(1, SettingList::EightX);
    r.speed(SettingList::SixteenX, 8);
    r.speedCaption(2, SettingList::SixteenX);
    r.speed(SettingList::GotoSpeed, 9);
    r.orientation(10);
    r.rotation(10);
    r.tracking(11);
    if (r.gear(true, 12) && r.number(NumberSetting::WormRatio, true, 14))
        r.number(NumberSetting::WormWheel, true, 16);
    return r.view;
}

} // namespace corvane
