#include "common/FileSafety.h"

#include <QFile>
#include <QFileInfo>

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

bool isRegularFileOrAbsent(const QString& path, QString* why) {
    return kindOf(path) == Kind::Other ? refuse(path, why) : true;
}

} // namespace corvane
