#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace corvane {

// Files the program reads and replaces are regular files. A path that names
// something else (a FIFO, which would block the first read for good, a
// directory, a device such as /dev/zero, a socket, a link to one of these or
// to nothing) is left alone, with the reason in `why`.

// True when `path` is a regular file, directly or through links.
bool isRegularFile(const QString& path, QString* why = nullptr);
// True when nothing is at `path` yet, or a regular file is.
bool isRegularFileOrAbsent(const QString& path, QString* why = nullptr);

// The whole of a regular file the program reads, or nullopt with a sentence
// naming the path in `why`: not a regular file, not readable, or larger than
// `maxBytes` (a file chosen by mistake; `kind` says what it is not, as in
// "is too large to be a mount backup").
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, const QString& kind,
                                          QString* why);

// Replacing a file the program writes (the settings file, mount data, PEC
// tables) as a whole: the content goes to a temporary file beside it, which
// then takes the old file's place, so a failure never leaves half a file.
// The new file keeps the old one's permissions, and a file that has no write
// permission for anyone is one the user keeps as it is: it is left alone.
enum class Replaced { Yes, NotRegular, ReadOnly, WriteFailed };
// `why`: a sentence naming the path for NotRegular and ReadOnly, the system's
// own description for WriteFailed.
Replaced replaceFile(const QString& path, const QByteArray& content, QString* why);

} // namespace corvane
