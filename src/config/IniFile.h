#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace corvane {

// An initialisation file of "[Section]" headers and "key=value" lines, read
// and changed the way such files have always been:
// - sections and keys are found regardless of letter case; the first
//   section and the first key of a name count, later repeats are kept but
//   never read or changed;
// - a value is returned without the blanks around it, and at most
//   kMaxValueLength characters of it;
// - a missing section or key reads as the empty text;
// - writing a key replaces its value in place (the key keeps its spelling),
//   or appends "key=value" after the last non-blank line of its section, or
//   appends the section "[Name]" with the key at the end of the file;
// - every other line, comments and unknown lines included, stays byte for
//   byte as it was;
// - lines end in CR LF; a file with bare LF line ends reads the same and is
//   written back with CR LF.
// Text is UTF-8; a line that is not valid UTF-8 reads as Latin-1.
class IniFile {
public:
    static constexpr int kMaxValueLength = 254;

    static IniFile fromBytes(const QByteArray& bytes);

    QString value(const QString& section, const QString& key) const;
    // A line break in the value would start a line of its own (a new key or
    // section), so each one is written as a blank.
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray toBytes() const;

private:
    struct Line {
        QByteArray bytes; // as read, without its line end
        QString text;     // decoded
    };

    // Index of the section's header line, or -1.
    int findSection(const QString& section) const;
    // One past the last line of the section that starts at `header`.
    int sectionEnd(int header) const;
    // Index of the key's line within the section, or -1.
    int findKey(int header, const QString& key) const;

    static Line makeLine(const QString& text);

    QVector<Line> m_lines;
};

} // namespace corvane
