#include "config/MountDataFile.h"

#include "common/FileSafety.h"
#include "config/IniFile.h"

#include <QFile>

namespace corvane {

namespace {

// A mount data file is a few hundred bytes; a file far larger was chosen by
// mistake and is neither read nor rewritten.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

void say(QString* error, const QString& message) {
    if (error)
        *error = message;
}

// The whole file, or nullopt with the reason.
std::optional<QByteArray> readWhole(const QString& path, QString* error) {
    return readRegularFile(path, kMaxFileBytes, QStringLiteral("a mount data file"), error);
}

} // namespace

QString mountDataSection() {
    return QStringLiteral("MountParam");
}

QVector<MountDataKey> mountDataKeys() {
    static const char* const names[] = {"GuideRate",  "Paddle8x",    "Paddle16x", "GotoSpeed",
                                        "TrackSpeed", "Orientation", "Rotation",  "GearRatio",
                                        "WormRatioD", "WormRatioR",  "WormWheel", "BacklashD",
                                        "FinishDirD", "BacklashR",   "FinishDirR"};
    // The file keeps its settings in the order the replay sends them.
    const QVector<SaveAllStep> controls = saveAllOrder();
    QVector<MountDataKey> keys;
    for (int i = 0; i < controls.size(); ++i)
        keys.push_back({QLatin1String(names[i]), controls.at(i)});
    return keys;
}

bool writeMountData(const QString& path, const QStringList& valuesInKeyOrder, QString* error) {
    const QVector<MountDataKey> keys = mountDataKeys();
    if (valuesInKeyOrder.size() != keys.size()) {
        say(error, QStringLiteral("Expected %1 settings to save, got %2.")
                       .arg(keys.size())
                       .arg(valuesInKeyOrder.size()));
        return false;
    }
    QString why;
    if (!isRegularFileOrAbsent(path, &why)) {
        say(error, why);
        return false;
    }
    IniFile ini;
    if (QFile::exists(path)) {
        // Its other sections must survive, so a file that cannot be read is
        // not replaced.
        const auto old = readWhole(path, error);
        if (!old)
            return false;
        ini = IniFile::fromBytes(*old);
    }
    for (int i = 0; i < keys.size(); ++i)
        ini.setValue(mountDataSection(), keys.at(i).name, valuesInKeyOrder.at(i));

    QString reason;
    switch (replaceFile(path, ini.toBytes(), &reason)) {
    case Replaced::Yes:
        return true;
    case Replaced::WriteFailed:
        say(error, QStringLiteral("\"%1\" could not be written: %2").arg(path, reason));
        return false;
    case Replaced::NotRegular:
    case Replaced::ReadOnly:
        break;
    }
    say(error, reason);
    return false;
}

std::optional<QStringList> readMountData(const QString& path, QString* error) {
    const auto bytes = readWhole(path, error);
    if (!bytes)
        return std::nullopt;
    const IniFile ini = IniFile::fromBytes(*bytes);
    QStringList values;
    for (const MountDataKey& key : mountDataKeys())
        values << ini.value(mountDataSection(), key.name);
    return values;
}

QString mountDataFilter() {
    return QStringLiteral("Mount Data file (*.mdf)|*.mdf");
}

} // namespace corvane
