#include "sky/Catalogues.h"

#include "common/FileSafety.h"
#include "common/NumberText.h"
#include "motion/TargetFields.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace corvane {

namespace {

void say(QString* problem, const QString& text) {
    if (problem)
        *problem = text;
}

// Reads a text file line by line, whatever its line ends (LF or CR LF). The
// files are plain ASCII as shipped; a user's own file may be UTF-8 (a leading
// byte-order mark is dropped) or, failing that, a Windows/Latin-1 text.
class LineReader {
public:
    explicit LineReader(const QString& path) : file_(path) {}

    bool open(QString* why) {
        if (file_.open(QIODevice::ReadOnly))
            return true;
        *why = file_.errorString();
        return false;
    }

    bool next(QString* line) {
        if (file_.atEnd())
            return false;
        QByteArray raw = file_.readLine();
        if (raw.isEmpty() && file_.error() != QFileDevice::NoError)
            return false;
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (first_ && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        first_ = false;
        QStringDecoder utf8(QStringDecoder::Utf8);
        *line = utf8(raw);
        if (utf8.hasError())
            *line = QString::fromLatin1(raw);
        return true;
    }

private:
    QFile file_;
    bool first_ = true;
};

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// A whole number of 32 bits with blanks around it: " 110", "-3", "+7 ".
bool readCount(const QString& text, int* count) {
    int from = 0;
    int to = text.size();
    while (from < to && isBlank(text.at(from)))
        ++from;
    while (to > from && isBlank(text.at(to - 1)))
        --to;
    const QString digits = text.mid(from, to - from);
    int i = digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (i >= digits.size())
        return false;
    for (; i < digits.size(); ++i) {
        if (digits.at(i) < QLatin1Char('0') || digits.at(i) > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    *count = digits.toInt(&ok, 10);
    return ok;
}

// Whether a field's text is a number as a whole (blanks around it allowed):
// an optional sign, digits and at most one ".". Only such texts are formatted.
bool isNumericText(const QString& text) {
    int i = 0;
    int end = text.size();
    while (i < end && isBlank(text.at(i)))
        ++i;
    while (end > i && isBlank(text.at(end - 1)))
        --end;
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    bool digit = false;
    bool point = false;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

QString lineList(const QVector<int>& lines) {
    QStringList numbers;
    for (int n : lines)
        numbers << QString::number(n);
    return numbers.join(QStringLiteral(", "));
}

} // namespace

QVector<CatalogueEntry> readCatalogueList(const QString& folder, QString* problem) {
    say(problem, QString());
    QVector<CatalogueEntry> entries;
    if (folder.isEmpty()) {
        say(problem,
            QStringLiteral("No catalogue list (%1) was found.").arg(catalogueListFileName()));
        return entries;
    }
    const QString path = QDir(folder).filePath(catalogueListFileName());
    QString why;
    if (!isRegularFile(path, &why)) {
        say(problem, QStringLiteral("The catalogue list could not be read: %1").arg(why));
        return entries;
    }
    LineReader reader(path);
    if (!reader.open(&why)) {
        say(problem,
            QStringLiteral("The catalogue list \"%1\" could not be read: %2").arg(path, why));
        return entries;
    }
    QVector<int> skipped;
    QString line;
    for (int number = 1; reader.next(&line); ++number) {
        if (line.trimmed().isEmpty())
            continue;
        const int comma = line.lastIndexOf(QLatin1Char(','));
        CatalogueEntry entry{line.left(comma), 0};
        if (comma <= 0 || !readCount(line.mid(comma + 1), &entry.records)) {
            skipped << number;
            continue;
        }
        entries << entry;
    }
    if (!skipped.isEmpty()) {
        say(problem,
            QStringLiteral("The catalogue list \"%1\": %2 %3 skipped (a line is a name, "
                           "a comma and a whole number of records).")
                .arg(path, skipped.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"),
                     lineList(skipped)));
    } else if (entries.isEmpty()) {
        say(problem, QStringLiteral("The catalogue list \"%1\" names no catalogues.").arg(path));
    }
    return entries;
}

QString catalogueFolder(const QString& userDir, const QString& executableDir) {
    QStringList candidates;
    if (!userDir.isEmpty())
        candidates << userDir;
    if (!executableDir.isEmpty()) {
        const QDir exe(executableDir);
        candidates << exe.filePath(QStringLiteral("catalogues"))
                   << exe.filePath(QStringLiteral("../share/corvane-control/catalogues"));
    }
    for (const QString& folder : candidates) {
        if (isRegularFile(QDir(folder).filePath(catalogueListFileName())))
            return QDir::cleanPath(folder);
    }
    return QString();
}

QString userCatalogueFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/corvane-control/catalogues");
}

QStringList splitCatalogueRecord(const QString& line) {
    QStringList fields;
    QString rest = line;
    // The scan starts at the first character of the line; after a cut it
    // starts at the second character of what is left.
    int j = 0;
    while (fields.size() < kCatalogueFields - 1) {
        const int comma = rest.indexOf(QLatin1Char(','), j);
        if (comma < 0)
            break;
        fields << rest.left(comma);
        rest = rest.mid(comma + 1);
        j = 1;
    }
    fields << rest;
    while (fields.size() < kCatalogueFields)
        fields << QString();
    return fields;
}

QVector<QStringList> readCatalogue(const QString& folder, const QString& name, int offered,
                                   QString* problem) {
    say(problem, QString());
    QVector<QStringList> records;
    const QString fileName = name + QStringLiteral(".gtc");
    if (folder.isEmpty()) {
        say(problem, QStringLiteral("Catalogue \"%1\" has no folder to be read from.").arg(name));
        return records;
    }
    const QString path = QDir(folder).filePath(fileName);
    QString why;
    if (!isRegularFile(path, &why)) {
        say(problem, QStringLiteral("Catalogue \"%1\" could not be read: %2").arg(name, why));
        return records;
    }
    if (offered <= 0) {
        say(problem, QStringLiteral("Catalogue \"%1\" offers no records (its count in the list "
                                    "is %2).")
                         .arg(name, QString::number(offered)));
        return records;
    }
    LineReader reader(path);
    if (!reader.open(&why)) {
        say(problem, QStringLiteral("Catalogue \"%1\" could not be read: %2").arg(name, why));
        return records;
    }
    // Every record line counts towards the limit, offered or not; one more
    // than the limit is enough to know the file is too long.
    int held = 0;
    QString line;
    while (held <= kMaxCatalogueRecords && reader.next(&line)) {
        if (line.startsWith(QLatin1Char(';')))
            continue;
        if (held < offered && held < kMaxCatalogueRecords)
            records << splitCatalogueRecord(line);
        ++held;
    }
    if (held > kMaxCatalogueRecords) {
        say(problem, QStringLiteral("Catalogue \"%1\" holds more than %2 records; only the first "
                                    "%2 are used.")
                         .arg(name, QString::number(kMaxCatalogueRecords)));
    } else if (held < offered) {
        say(problem, QStringLiteral("Catalogue \"%1\" holds %2 records, fewer than the %3 its list "
                                    "entry offers.")
                         .arg(name, QString::number(held), QString::number(offered)));
    }
    return records;
}

TargetFieldTexts recordTarget(const QStringList& record) {
    const auto formatted = [](const QString& text) {
        return isNumericText(text) ? format00(leadingNumber(text.trimmed())) : text;
    };
    TargetFieldTexts target;
    target.hours = formatted(record.value(1));
    target.minutes = record.value(2);
    const QString degrees = record.value(3);
    // The degree field's own formatting keeps a written minus on "-00" and adds
    // "+" otherwise, the form the target fields use for declinations.
    target.degrees =
        isNumericText(degrees) ? formatField(TargetField::DecDegrees, degrees.trimmed()) : degrees;
    target.decMinutes = formatted(record.value(4));
    return target;
}

QString recordToolTip(const QStringList& record) {
    return record.value(7) + QStringLiteral(" Mag ") + record.value(6);
}

} // namespace corvane
