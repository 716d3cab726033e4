#include "common/FileSafety.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace corvane {

namespace {

enum class Kind { Absent, Regular, Other };

Kind kindOf(const QString& path) {
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat target {};
    if (::stat(native.constData(), &target) == 0)
        return S_ISREG(target.st_mode) ? Kind::Regular : Kind::Other;
    struct stat link {};
    // A link that leads nowhere is something, but no file of ours.
    return ::lstat(native.constData(), &link) == 0 ? Kind::Other : Kind::Absent;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? Kind::Other : Kind::Absent;
    return info.isFile() ? Kind::Regular : Kind::Other;
#endif
}

bool refuse(const QString& path, QString* why) {
    if (why)
        *why = QStringLiteral("\"%1\" is not a regular file; it is left alone.").arg(path);
    return false;
}

} // namespace

bool isRegularFile(const QString& path, QString* why) {
    switch (kindOf(path)) {
    case Kind::Regular:
        return true;
    case Kind::Absent:
        if (why)
            *why = QStringLiteral("\"%1\" does not exist.").arg(path);
        return false;
    case Kind::Other:
        break;
    }
    return refuse(path, why);
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, const QString& kind,
                                          QString* why) {
    if (!isRegularFile(path, why))
        return std::nullopt;
    QFile file(path);
    const QByteArray bytes =
        file.open(QIODevice::ReadOnly) ? file.read(maxBytes + 1) : QByteArray();
    if (file.error() != QFileDevice::NoError) {
        if (why)
            *why = QStringLiteral("\"%1\" could not be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > maxBytes) {
        if (why)
            *why = QStringLiteral("\"%1\" is too large to be %2.").arg(path, kind);
        return std::nullopt;
    }
    return bytes;
}

bool isRegularFileOrAbsent(const QString& path, QString* why) {
    return kindOf(path) == Kind::Other ? refuse(path, why) : true;
}

Replaced replaceFile(const QString& path, const QByteArray& content, QString* why) {
    const Kind kind = kindOf(path);
    if (kind == Kind::Other) {
        refuse(path, why);
        return Replaced::NotRegular;
    }
    // The file's own mode bits: the "user" flags say what this process may do,
    // which for the superuser is everything.
    const QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileDevice::Permissions old =
        kind == Kind::Regular ? QFile::permissions(path) : QFileDevice::Permissions();
    if (kind == Kind::Regular && !(old & anyWrite)) {
        if (why)
            *why = QStringLiteral("\"%1\" is read-only; it is left alone.").arg(path);
        return Replaced::ReadOnly;
    }
    QSaveFile file(path);
    const auto failed = [&file, why] {
        if (why)
            *why = file.errorString();
        file.cancelWriting();
        return Replaced::WriteFailed;
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    if (kind == Kind::Regular && !file.setPermissions(old))
        return failed();
    if (file.write(content) != content.size())
        return failed();
    if (!file.commit()) {
        if (why)
            *why = file.errorString();
        return Replaced::WriteFailed;
    }
    return Replaced::Yes;
}

} // namespace corvane
