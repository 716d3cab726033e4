#pragma once

#include <QString>

namespace corvane {

// Files the program reads and replaces are regular files. A path that names
// something else (a FIFO, which would block the first read for good, a
// directory, a device such as /dev/zero, a socket, a link to one of these or
// to nothing) is left alone, with the reason in `why`.

// True when `path` is a regular file, directly or through links.
bool isRegularFile(const QString& path, QString* why = nullptr);
// True when nothing is at `path` yet, or a regular file is.
bool isRegularFileOrAbsent(const QString& path, QString* why = nullptr);

} // namespace corvane
