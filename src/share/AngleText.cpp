#include "share/AngleText.h"

#include <cstring>

namespace corvane {

namespace {

// Fraction digits kept: a ten-thousandth of a minute is 6 thousandths of a
// second and a thousandth of a second is one, so both stay exact.
constexpr int kMostMinuteDecimals = 4;
constexpr int kMostSecondDecimals = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

class Cursor {
public:
    explicit Cursor(const QByteArray& text) : m_text(text) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text.at(m_at); }

    bool take(char c) {
        if (atEnd() || peek() != c)
            return false;
        ++m_at;
        return true;
    }

    bool takeOneOf(const char* set) {
        if (atEnd())
            return false;
        if (m_text.mid(m_at, 2) == "\xC2\xB0" && std::strchr(set, '\xB0') != nullptr) {
            m_at += 2;
            return true;
        }
        if (peek() == '\0' || std::strchr(set, peek()) == nullptr)
            return false;
        ++m_at;
        return true;
    }

    // Between `least` and `most` digits; their value and count.
    std::optional<int> digits(int least, int most, int* count = nullptr) {
        int n = 0;
        int value = 0;
        while (n < most && !atEnd() && isDigit(peek())) {
            value = value * 10 + (peek() - '0');
            ++m_at;
            ++n;
        }
        if (n < least)
            return std::nullopt;
        if (count)
            *count = n;
        return value;
    }

private:
    const QByteArray& m_text;
    int m_at = 0;
};

// ".ddd" after a minute or a second, in thousandths of a second; 0 without
// a point. `unit` is the minute's or the second's thousandths.
std::optional<qint64> fraction(Cursor& c, qint64 unit, int mostDecimals) {
    if (!c.take('.'))
        return 0;
    int count = 0;
    const auto value = c.digits(1, mostDecimals, &count);
    if (!value)
        return std::nullopt;
    qint64 scale = 1;
    for (int i = 0; i < count; ++i)
        scale *= 10;
    return unit * *value / scale;
}

} // namespace

QByteArray withoutLeadingBlanks(const QByteArray& text) {
    int i = 0;
    while (i < text.size() && text.at(i) == ' ')
        ++i;
    return text.mid(i);
}

std::optional<AngleText> readAngleText(const QByteArray& text, const AngleForm& form) {
    Cursor c(text);
    AngleText angle;
    if (form.sign && !c.take('+'))
        angle.negative = c.take('-');
    const auto lead = c.digits(1, form.leadDigits);
    if (!lead || !c.takeOneOf(form.leadMarks))
        return std::nullopt;
    const auto minutes = c.digits(2, 2);
    if (!minutes || *minutes > 59)
        return std::nullopt;
    angle.lead = *lead;
    angle.thousandths = *lead * kThousandthsPerUnit + *minutes * kThousandthsPerMinute;
    std::optional<qint64> rest = 0;
    if (c.peek() == '.') {
        rest = fraction(c, kThousandthsPerMinute, kMostMinuteDecimals);
    } else if (c.takeOneOf(":'")) {
        const auto seconds = c.digits(2, 2);
        if (!seconds || *seconds > 59)
            return std::nullopt;
        rest = fraction(c, kThousandthsPerSecond, kMostSecondDecimals);
        if (rest)
            *rest += *seconds * kThousandthsPerSecond;
    }
    if (!rest || !c.atEnd())
        return std::nullopt;
    angle.thousandths += *rest;
    return angle;
}

} // namespace corvane
