#include "config/IniFile.h"

#include <QList>

namespace corvane {

namespace {

QString decodeLine(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter))
        return QString::fromLatin1(bytes);
    return text;
}

// "[Name]" (blanks allowed around it) gives "Name". A header without its
// closing bracket names the rest of the line.
QString sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    const int close = t.indexOf(QLatin1Char(']'));
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool isSectionHeader(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char('['));
}

bool isComment(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char(';'));
}

bool sameName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::Line IniFile::makeLine(const QString& text) {
    return {text.toUtf8(), text};
}

IniFile IniFile::fromBytes(const QByteArray& bytes) {
    IniFile ini;
    QList<QByteArray> pieces = bytes.split('\n');
    // The piece after the last line end is no line of its own.
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    for (QByteArray piece : pieces) {
        if (piece.endsWith('\r'))
            piece.chop(1);
        ini.m_lines.push_back({piece, decodeLine(piece)});
    }
    return ini;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionHeader(m_lines.at(i).text) &&
            sameName(sectionName(m_lines.at(i).text), section))
            return i;
    return -1;
}

int IniFile::sectionEnd(int header) const {
    int i = header + 1;
    while (i < m_lines.size() && !isSectionHeader(m_lines.at(i).text))
        ++i;
    return i;
}

int IniFile::findKey(int header, const QString& key) const {
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString& line = m_lines.at(i).text;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && !isComment(line) && sameName(line.left(eq), key))
            return i;
    }
    return -1;
}

QString IniFile::value(const QString& section, const QString& key) const {
    const int header = findSection(section);
    if (header < 0)
        return QString();
    const int at = findKey(header, key);
    if (at < 0)
        return QString();
    const QString& line = m_lines.at(at).text;
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() > kMaxValueLength) {
        int cut = kMaxValueLength;
        // Never split a character that takes two UTF-16 units.
        if (v.at(cut - 1).isHighSurrogate())
            --cut;
        v.truncate(cut);
    }
    return v;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));

    const int header = findSection(section);
    if (header < 0) {
        m_lines.push_back(makeLine(QLatin1Char('[') + section + QLatin1Char(']')));
        m_lines.push_back(makeLine(key + QLatin1Char('=') + oneLine));
        return;
    }
    const int at = findKey(header, key);
    if (at >= 0) {
        const QString& line = m_lines.at(at).text;
        m_lines[at] =
            makeLine(line.left(line.indexOf(QLatin1Char('='))) + QLatin1Char('=') + oneLine);
        return;
    }
    int insertAt = sectionEnd(header);
    while (insertAt > header + 1 && m_lines.at(insertAt - 1).text.trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, makeLine(key + QLatin1Char('=') + oneLine));
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    for (const Line& line : m_lines)
        out += line.bytes + "\r\n";
    return out;
}

} // namespace corvane
