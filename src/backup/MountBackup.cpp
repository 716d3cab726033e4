#include "backup/MountBackup.h"

#include "common/FileSafety.h"
#include "config/MountDataFile.h"
#include "config/SettingLists.h"
#include "controller/Firmware.h"
#include "link/Replies.h"
#include "pec/PecTable.h"

#include <QHash>

namespace corvane {

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;

QString stepKey(int step) {
    return QStringLiteral("Step%1").arg(step, 3, 10, QLatin1Char('0'));
}

// Whether the board can take the text as the setting's value.
bool takes(const SaveAllStep& control, const QString& value) {
    if (!control.isList)
        return settingNumberText(value).has_value();
    const ListPick pick = listCommand(control.list, value);
    return !pick.refused && !pick.command.isEmpty();
}

// Two texts of a setting mean the same to the board when they send the same
// command ("0144" and "144" as gear ratios); numbers compare as the two bytes
// the board keeps ("032" is 32, "65535" is -1).
bool sameValue(const SaveAllStep& control, const QString& a, const QString& b) {
    if (a == b)
        return true;
    if (control.isList) {
        const QString command = listCommand(control.list, a).command;
        return !command.isEmpty() && command == listCommand(control.list, b).command;
    }
    const std::optional<QString> x = settingNumberText(a), y = settingNumberText(b);
    return x && y && (x->toInt() & 0xFFFF) == (y->toInt() & 0xFFFF);
}

// The one value a backup may leave empty: the DEC worm ratio of a board whose
// firmware has none (those with the split settings dump).
const QString kDecWormKey = QStringLiteral("mountparam/wormratiod");

// The file's lines as "section/key" -> (value, line number), the first of a
// name counting, as in every initialisation file. A line that is no section,
// key or comment (";"), and a key whose value is empty, are noted by number.
struct Lines {
    QHash<QString, std::pair<QString, int>> values;
    int notALine = 0;      // the first line that is none of them
    QVector<int> empty;    // lines of keys with empty values, in file order
    QStringList emptyKeys; // their "section/key"
};

Lines readLines(const QByteArray& bytes) {
    Lines out;
    QString section;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            if (out.notALine == 0)
                out.notALine = i + 1;
            continue;
        }
        const QString key = section + QLatin1Char('/') + line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (value.isEmpty()) {
            out.empty << i + 1;
            out.emptyKeys << key;
        }
        if (!out.values.contains(key))
            out.values.insert(key, {value, i + 1});
    }
    return out;
}

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

// Every line is a section, a key or a comment, and no value is empty but
// the one the board's firmware lacks: a damaged file is named by its first
// bad line, so an empty value is never taken for "leave as it is".
bool wholeLines(const Lines& lines, bool split, QString* error) {
    int emptyLine = 0;
    for (int i = 0; i < lines.empty.size() && emptyLine == 0; ++i)
        if (!(split && lines.emptyKeys.at(i) == kDecWormKey))
            emptyLine = lines.empty.at(i);
    if (lines.notALine > 0 && (emptyLine == 0 || lines.notALine < emptyLine))
        return fail(error, QStringLiteral("Line %1 of the backup is no section, setting or "
                                          "comment.")
                               .arg(lines.notALine));
    if (emptyLine > 0)
        return fail(error, QStringLiteral("Line %1 of the backup holds no value.").arg(emptyLine));
    return true;
}

// The single digit a..b the value holds.
std::optional<int> digit(const QString& value, int low, int high) {
    if (value.size() != 1 || !value.at(0).isDigit())
        return std::nullopt;
    const int d = value.at(0).unicode() - '0';
    if (d < low || d > high)
        return std::nullopt;
    return d;
}

bool parse(const Lines& lines, MountBackup* b, QString* error) {
    const auto get = [&](const QString& section, const QString& key, QString* value, int* line) {
        const auto it = lines.values.constFind(section + QLatin1Char('/') + key.toLower());
        if (it == lines.values.constEnd())
            return fail(error, QStringLiteral("The backup lacks %1 in its [%2] section.")
                                   .arg(key, section == QLatin1String("mountparam")
                                                 ? QStringLiteral("MountParam")
                                             : section == QLatin1String("pec")
                                                 ? QStringLiteral("PEC")
                                                 : QStringLiteral("Backup")));
        *value = it->first;
        *line = it->second;
        return true;
    };
    QString value;
    int line = 0;
    if (!get(QStringLiteral("backup"), QStringLiteral("Firmware"), &b->firmware, &line) ||
        !get(QStringLiteral("backup"), QStringLiteral("Program"), &b->program, &line) ||
        !get(QStringLiteral("backup"), QStringLiteral("Created"), &value, &line))
        return false;
    b->created = QDateTime::fromString(value, Qt::ISODate);
    if (parseVersionReply(b->firmware).version <= 0.0f)
        return fail(error,
                    QStringLiteral("Line %1 of the backup names no firmware version.").arg(line));
    if (!wholeLines(lines, b->splitSettingsDump(), error))
        return false;
    for (const MountDataKey& key : mountDataKeys()) {
        if (!get(QStringLiteral("mountparam"), key.name, &value, &line))
            return false;
        if (!value.isEmpty() && !takes(key.control, value))
            return fail(error, QStringLiteral("Line %1 of the backup holds no value the board "
                                              "takes for %2.")
                                   .arg(line)
                                   .arg(key.name));
        b->settings << value;
    }
    if (!get(QStringLiteral("pec"), QStringLiteral("Factor"), &value, &line))
        return false;
    const std::optional<int> factor = digit(value, 1, 9);
    if (!factor)
        return fail(
            error,
            QStringLiteral("Line %1 of the backup holds no PEC factor from 1 to 9.").arg(line));
    b->factor = *factor;
    for (int step = 0; step < kPecSteps; ++step) {
        if (!get(QStringLiteral("pec"), stepKey(step), &value, &line))
            return false;
        const std::optional<int> code = digit(value, 0, 9);
        if (!code)
            return fail(error,
                        QStringLiteral("Line %1 of the backup holds no PEC code.").arg(line));
        b->codes << *code;
    }
    return true;
}

} // namespace

bool MountBackup::splitSettingsDump() const {
    return parseVersionReply(firmware).splitSettingsDump;
}

RestorePlan MountBackup::pecPlan() const {
    RestorePlan plan;
    plan.factor = factor;
    plan.codes = codes;
    plan.echoText = QString::number(factor) + QStringLiteral("\r\n");
    for (const int code : codes)
        plan.echoText += QString::number(code) + QStringLiteral("\r\n");
    return plan;
}

QString mountBackupFilter() {
    return QStringLiteral("Mount backup (*.cmb)|*.cmb");
}

QByteArray mountBackupText(const MountBackup& b) {
    QStringList lines{QStringLiteral("[Backup]"), QStringLiteral("Program=") + b.program,
                      QStringLiteral("Firmware=") + printableReply(b.firmware),
                      QStringLiteral("Created=") + b.created.toUTC().toString(Qt::ISODate),
                      QStringLiteral("[MountParam]")};
    const QVector<MountDataKey> keys = mountDataKeys();
    for (int i = 0; i < keys.size(); ++i)
        lines << keys.at(i).name + QLatin1Char('=') + b.settings.value(i);
    lines << QStringLiteral("[PEC]") << QStringLiteral("Factor=%1").arg(b.factor);
    for (int step = 0; step < b.codes.size(); ++step)
        lines << stepKey(step) + QLatin1Char('=') + QString::number(b.codes.at(step));
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

bool writeMountBackup(const QString& path, const MountBackup& backup, QString* error) {
    QString why;
    switch (replaceFile(path, mountBackupText(backup), &why)) {
    case Replaced::Yes:
        return true;
    case Replaced::WriteFailed:
        return fail(error, QStringLiteral("\"%1\" could not be written: %2").arg(path, why));
    case Replaced::NotRegular:
    case Replaced::ReadOnly:
        break;
    }
    return fail(error, why);
}

std::optional<MountBackup> readMountBackup(const QString& path, QString* error) {
    const auto bytes =
        readRegularFile(path, kMaxFileBytes, QStringLiteral("a mount backup"), error);
    if (!bytes)
        return std::nullopt;
    MountBackup backup;
    if (!parse(readLines(*bytes), &backup, error))
        return std::nullopt;
    return backup;
}

std::optional<QStringList> settingsOfDump(const QByteArray& dump, bool split) {
    if (dump.size() < (split ? 18 : 16))
        return std::nullopt;
    const SettingsView view = split ? decodeSplitSettingsDump(dump) : decodeSettingsDump(dump);
    QStringList values;
    for (const MountDataKey& key : mountDataKeys()) {
        const std::optional<QString>& value =
            key.control.isList ? view[key.control.list] : view[key.control.number];
        values << value.value_or(QString());
    }
    return values;
}

QString unreadableSetting(const MountBackup& board) {
    const QVector<MountDataKey> keys = mountDataKeys();
    for (int i = 0; i < keys.size(); ++i) {
        const SaveAllStep& c = keys.at(i).control;
        const bool mayBeEmpty =
            board.splitSettingsDump() &&
            QStringLiteral("mountparam/") + keys.at(i).name.toLower() == kDecWormKey;
        if (board.settings.value(i).isEmpty() && !mayBeEmpty)
            return c.isList ? settingListInfo(c.list).label : numberSettingTitle(c.number);
    }
    return QString();
}

QVector<BackupDifference> compareBackup(const MountBackup& board, const MountBackup& file) {
    QVector<BackupDifference> out;
    const QVector<MountDataKey> keys = mountDataKeys();
    for (int i = 0; i < keys.size(); ++i) {
        const QString& wanted = file.settings.value(i);
        const SaveAllStep& c = keys.at(i).control;
        if (wanted.isEmpty() || sameValue(c, wanted, board.settings.value(i)))
            continue;
        out.append({c.isList ? settingListInfo(c.list).label : numberSettingTitle(c.number),
                    board.settings.value(i), wanted, i});
    }
    int steps = 0;
    for (int s = 0; s < file.codes.size(); ++s)
        steps += board.codes.value(s, -1) != file.codes.at(s);
    if (steps > 0 || board.factor != file.factor)
        out.append({QStringLiteral("PEC"), QStringLiteral("factor %1").arg(board.factor),
                    QStringLiteral("factor %1, %2 of 256 steps differ").arg(file.factor).arg(steps),
                    -1});
    return out;
}

bool exportMountBackup(const MountBackup& backup, const QString& mountDataPath,
                       const QString& pecPath, QString* error) {
    QString codes;
    for (const int code : backup.codes)
        codes += QString::number(code);
    const PecTable table = decodePecTable(codes, backup.factor);
    return writeMountData(mountDataPath, backup.settings, error) &&
           writePecCsv(pecPath, pecCsvText(table), error);
}

} // namespace corvane
