#include "motion/TargetFields.h"

#include "common/NumberText.h"

namespace corvane {

namespace {

// Lowest allowed character code of each field; every field allows up to "9".
ushort lowestAllowed(TargetField field) {
    switch (field) {
    case TargetField::Hours:
        return '0';
    case TargetField::DecDegrees:
        return '+'; // + , - . / and the digits
    case TargetField::Minutes:
    case TargetField::DecMinutes:
        break;
    }
    return '.'; // . / and the digits
}

bool isDigitAt(const QString& text, int i) {
    return i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
}

int twoDigits(const QString& text, int at) {
    return (text.at(at).unicode() - '0') * 10 + (text.at(at + 1).unicode() - '0');
}

} // namespace

QString initialFieldText(TargetField field) {
    switch (field) {
    case TargetField::Minutes:
        return QStringLiteral("00.0");
    case TargetField::DecDegrees:
        return QStringLiteral("+00");
    case TargetField::Hours:
    case TargetField::DecMinutes:
        break;
    }
    return QStringLiteral("00");
}

int firstInvalidCharacter(TargetField field, const QString& text) {
    const ushort low = lowestAllowed(field);
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (c < low || c > '9')
            return i;
    }
    return -1;
}

bool inFieldRange(TargetField field, const QString& text) {
    const double v = leadingNumber(text);
    switch (field) {
    case TargetField::Hours:
        return v >= 0 && v <= 23;
    case TargetField::Minutes:
        return v >= 0 && v <= 59.9;
    case TargetField::DecDegrees:
        return v >= -99 && v <= 99;
    case TargetField::DecMinutes:
        // Whole minutes are shown: 59.5 and above would read 60.
        return v >= -59.9 && v <= 59.9 && leadingNumber(format00(v)) < 60;
    }
    return false;
}

bool isSouthDeclination(const QString& degreeText) {
    int i = 0;
    while (i < degreeText.size() && degreeText.at(i) == QLatin1Char(' '))
        ++i;
    if (i >= degreeText.size() || degreeText.at(i) != QLatin1Char('-'))
        return false;
    ++i;
    if (isDigitAt(degreeText, i))
        return true;
    return i < degreeText.size() && degreeText.at(i) == QLatin1Char('.') &&
           isDigitAt(degreeText, i + 1);
}

QString formatField(TargetField field, const QString& text) {
    const double v = leadingNumber(text);
    if (field == TargetField::Minutes)
        return applyDecimalComma(format00_0(v));
    QString out = format00(v);
    if (field != TargetField::DecDegrees)
        return out;
    if (isSouthDeclination(text) && !out.startsWith(QLatin1Char('-')))
        out.prepend(QLatin1Char('-'));
    if (!out.startsWith(QLatin1Char('-')) && !out.startsWith(QLatin1Char('+')))
        out.prepend(QLatin1Char('+'));
    return out;
}

QString applyDecimalComma(const QString& text) {
    if (text.size() >= 3 && text.at(2) == QLatin1Char(','))
        return text.left(2) + QLatin1Char('.') + text.right(1);
    return text;
}

bool isFieldForm(TargetField field, const QString& t) {
    switch (field) {
    case TargetField::Hours:
        return t.size() == 2 && isDigitAt(t, 0) && isDigitAt(t, 1) && twoDigits(t, 0) <= 23;
    case TargetField::Minutes:
        return t.size() == 4 && isDigitAt(t, 0) && isDigitAt(t, 1) && t.at(2) == QLatin1Char('.') &&
               isDigitAt(t, 3) && twoDigits(t, 0) <= 59;
    case TargetField::DecDegrees:
        return t.size() == 3 && (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-')) &&
               isDigitAt(t, 1) && isDigitAt(t, 2);
    case TargetField::DecMinutes:
        break;
    }
    return t.size() == 2 && isDigitAt(t, 0) && isDigitAt(t, 1) && twoDigits(t, 0) <= 59;
}

FieldCheck checkField(TargetField field, const QString& text, const QString& remembered) {
    FieldCheck result;
    QString source = text;
    if (firstInvalidCharacter(field, source) >= 0 || !inFieldRange(field, source)) {
        result.rejected = true;
        source = remembered;
    }
    result.text = formatField(field, source);
    if (!isFieldForm(field, result.text)) {
        // Only a restored text can get here (a typed one out of form is rejected).
        result.rejected = true;
        result.text = initialFieldText(field);
    }
    return result;
}

TargetFieldTexts fieldTexts(const BoardPosition& target) {
    return {target.ra.hoursText(), target.ra.minutesText(), target.dec.degreesText(),
            target.dec.minutesText()};
}

std::optional<BoardPosition> withField(const BoardPosition& target, TargetField field,
                                       const QString& t) {
    if (!isFieldForm(field, t))
        return std::nullopt;
    BoardPosition p = target;
    switch (field) {
    case TargetField::Hours:
        p.ra.tenths = twoDigits(t, 0) * 600 + target.ra.tenths % 600;
        break;
    case TargetField::Minutes:
        p.ra.tenths =
            target.ra.wholeHours() * 600 + twoDigits(t, 0) * 10 + (t.at(3).unicode() - '0');
        break;
    case TargetField::DecDegrees:
        p.dec =
            BoardDec{t.at(0) == QLatin1Char('-'), twoDigits(t, 1) * 60 + target.dec.arcMinutes()};
        break;
    case TargetField::DecMinutes:
        p.dec.minutes = target.dec.wholeDegrees() * 60 + twoDigits(t, 0);
        break;
    }
    return p;
}

std::optional<BoardPosition> targetFromFields(const TargetFieldTexts& texts) {
    std::optional<BoardPosition> p = BoardPosition{};
    const std::pair<TargetField, const QString*> fields[] = {
        {TargetField::Hours, &texts.hours},
        {TargetField::Minutes, &texts.minutes},
        {TargetField::DecDegrees, &texts.degrees},
        {TargetField::DecMinutes, &texts.decMinutes}};
    for (const auto& [field, text] : fields) {
        if (p)
            p = withField(*p, field, *text);
    }
    return p;
}

} // namespace corvane
