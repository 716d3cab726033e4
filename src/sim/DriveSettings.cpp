#include "sim/DriveSettings.h"

#include "sim/CommandTokenizer.h"
#include "sim/WireText.h"

namespace corvane::sim {

namespace {

void appendWord(QByteArray& out, qint16 value) {
    const auto v = static_cast<quint16>(value);
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

char byteOf(int v) {
    return static_cast<char>(v & 0xFF);
}

char orientationByte(const DriveSettings& s) {
    return byteOf((s.orientationRight ? 0xF0 : 0x00) | (s.rotationReverse ? 0x0F : 0x00));
}

// A number the board keeps in one byte, or in two for the wide layout: any
// bit pattern of that size, typed as a signed or an unsigned number ("#-1W"
// and "#65535W" both set FF FF, which the dump reads back as -1).
bool fitsField(int v, bool wide) {
    return wide ? v >= -32768 && v <= 65535 : v >= -128 && v <= 255;
}

SettingResult setField(qint16& field, const QByteArray& number, bool wide, bool zeroAllowed) {
    const auto v = wholeNumber(number);
    if (!v || !fitsField(*v, wide) || (*v == 0 && !zeroAllowed))
        return SettingResult::Refused;
    field = static_cast<qint16>(wide ? *v : (*v & 0xFF));
    return SettingResult::Applied;
}

// Gear, worm and worm wheel counts are never 0.
SettingResult setCount(qint16& field, const QByteArray& number, bool wide) {
    return setField(field, number, wide, false);
}

// Backlash is kept in two bytes in both layouts.
SettingResult setBacklash(qint16& field, const QByteArray& number) {
    return setField(field, number, true, true);
}

SettingResult setFinish(quint8& field, const QByteArray& number) {
    if (number == "1")
        field = Finish::Pos;
    else if (number == "0")
        field = Finish::None;
    else if (number == "-1")
        field = Finish::Neg;
    else
        return SettingResult::Refused;
    return SettingResult::Applied;
}

// "#>G" 1.33X, "#<-G" 1.67X, "#<G" 2X; "#<X"/"#>X" orientation; "#<x"/"#>x" rotation.
SettingResult applyAngleSetting(const BoardCommand& c, DriveSettings& s) {
    const bool right = c.angle == '>';
    if (c.letter == 'G') {
        if (right && c.number.isEmpty())
            s.guideRate = 0x01;
        else if (!right && c.number == "-")
            s.guideRate = 0x02;
        else if (!right && c.number.isEmpty())
            s.guideRate = 0x03;
        else
            return SettingResult::Refused;
        return SettingResult::Applied;
    }
    if ((c.letter == 'X' || c.letter == 'x') && c.number.isEmpty()) {
        (c.letter == 'X' ? s.orientationRight : s.rotationReverse) = right;
        return SettingResult::Applied;
    }
    return SettingResult::NotASetting;
}

// "#n:Ssk#": speed entry n (0..5) for setting k (0 paddle 8X, 1 paddle 16X, 2 goto).
SettingResult applySpeedSetting(const BoardCommand& c, DriveSettings& s) {
    const auto n = wholeNumber(c.number);
    const char which = c.body.size() == 3 ? c.body.at(2) : '?';
    if (!n || *n < 0 || *n > 5 || which < '0' || which > '2')
        return SettingResult::Refused;
    quint8* fields[] = {&s.eightX, &s.sixteenX, &s.gotoSpeed};
    *fields[which - '0'] = static_cast<quint8>(*n + 7);
    return SettingResult::Applied;
}

SettingResult applyNumberedSetting(const BoardCommand& c, DriveSettings& s, bool wide) {
    switch (c.letter) {
    case 'T': {
        const auto v = wholeNumber(c.number);
        if (!v || *v < -1 || *v > 2)
            return SettingResult::Refused;
        s.tracking = static_cast<qint8>(*v);
        return SettingResult::Applied;
    }
    case 'g':
        return setCount(s.gearRatio, c.number, wide);
    case 'W':
        return setCount(s.wormRatio, c.number, wide);
    case 'w':
        return setCount(s.wormWheel, c.number, wide);
    case 'd': {
        qint16 v = s.decWormRatio;
        const SettingResult r = setCount(v, c.number, false);
        s.decWormRatio = static_cast<quint8>(v);
        return r;
    }
    case 'B':
        return setBacklash(s.decBacklash, c.number);
    case 'b':
        return setBacklash(s.raBacklash, c.number);
    case 'M':
        return setFinish(s.decFinish, c.number);
    case 'm':
        return setFinish(s.raFinish, c.number);
    default:
        return SettingResult::NotASetting;
    }
}

} // namespace

bool DriveSettings::operator==(const DriveSettings& o) const {
    return raFinish == o.raFinish && raBacklash == o.raBacklash && decFinish == o.decFinish &&
           decBacklash == o.decBacklash && guideRate == o.guideRate && eightX == o.eightX &&
           sixteenX == o.sixteenX && gotoSpeed == o.gotoSpeed &&
           orientationRight == o.orientationRight && rotationReverse == o.rotationReverse &&
           tracking == o.tracking && gearRatio == o.gearRatio && wormRatio == o.wormRatio &&
           wormWheel == o.wormWheel && decWormRatio == o.decWormRatio;
}

QByteArray settingsDump16(const DriveSettings& s) {
    QByteArray out;
    out += byteOf(s.decWormRatio);
    out += byteOf(s.raFinish);
    appendWord(out, s.raBacklash);
    out += byteOf(s.decFinish);
    appendWord(out, s.decBacklash);
    out += byteOf(s.guideRate);
    out += byteOf(s.eightX);
    out += byteOf(s.sixteenX);
    out += byteOf(s.gotoSpeed);
    out += orientationByte(s);
    out += byteOf(s.tracking);
    out += byteOf(s.gearRatio);
    out += byteOf(s.wormRatio);
    out += byteOf(s.wormWheel);
    return out;
}

QByteArray settingsDump18(const DriveSettings& s) {
    QByteArray out;
    out += byteOf(s.raFinish);
    appendWord(out, s.raBacklash);
    out += byteOf(s.decFinish);
    appendWord(out, s.decBacklash);
    out += byteOf(s.guideRate);
    out += byteOf(s.eightX);
    out += byteOf(s.sixteenX);
    out += byteOf(s.gotoSpeed);
    out += orientationByte(s);
    out += byteOf(s.tracking);
    appendWord(out, s.gearRatio);
    appendWord(out, s.wormRatio);
    appendWord(out, s.wormWheel);
    return out;
}

double speedMultiple(quint8 speedCode) {
    static const double multiples[] = {4, 8, 16, 20, 27, 40};
    return speedCode >= 7 && speedCode <= 12 ? multiples[speedCode - 7] : 0.0;
}

double guideMultiple(quint8 guideCode) {
    switch (guideCode) {
    case 0x01:
        return 4.0 / 3.0;
    case 0x02:
        return 5.0 / 3.0;
    case 0x03:
        return 2.0;
    default:
        return 1.0;
    }
}

double trackingFraction(qint8 tracking) {
    switch (tracking) {
    case 0:
        return 1.0;
    case 1:
        return 0.997270; // the Sun lags the stars by about 4 minutes a day
    case 2:
        return 0.966137; // the Moon by about 50 minutes a day
    default:
        return 0.0;
    }
}

SettingResult applySettingCommand(const BoardCommand& c, DriveSettings& s, bool wideFields) {
    if (!c.hashed)
        return SettingResult::NotASetting;
    if (c.form == BoardCommand::Form::Colon) {
        if (c.angle == 0 && !c.number.isEmpty() && c.body.startsWith("Ss"))
            return applySpeedSetting(c, s);
        return SettingResult::NotASetting;
    }
    if (c.form != BoardCommand::Form::Letter)
        return SettingResult::NotASetting;
    if (c.angle != 0)
        return applyAngleSetting(c, s);
    return applyNumberedSetting(c, s, wideFields);
}

} // namespace corvane::sim
