#pragma once

#include "config/SaveAll.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace corvane {

// A mount data file (".mdf") keeps one set of the page's fifteen settings in
// an initialisation file, section "[MountParam]", one key per setting:
//
//   [MountParam]
//   GuideRate=1.67X
//   Paddle8x=8X
//   ...
//   GearRatio=Quenta
//   WormRatioD=
//   WormRatioR=180
//   ...
//
// Values are the texts the page shows, unconverted; an empty text is an
// empty value.

QString mountDataSection();

struct MountDataKey {
    QString name;        // "GuideRate"
    SaveAllStep control; // the list or box it belongs to
};

// The fifteen keys in the order in which they are written and read.
QVector<MountDataKey> mountDataKeys();

// Writes the values (in key order, fifteen of them) into the file's
// "MountParam" section. An existing file keeps its other sections and lines;
// the new content goes to a temporary file that then replaces the old one,
// so a failure leaves the old file as it was. Refuses a path that is not a
// regular file (a FIFO, a device, a directory), an existing file that
// cannot be read, and one too large to be a mount data file. Returns false
// with a message for the user in `error`.
bool writeMountData(const QString& path, const QStringList& valuesInKeyOrder, QString* error);

// The fifteen values in key order, "" for a missing or empty key (a file
// without the section gives fifteen empty texts). A file that does not
// exist, cannot be read, is not a regular file or is too large gives
// nullopt and a message; the caller then changes nothing.
std::optional<QStringList> readMountData(const QString& path, QString* error);

// The file dialog's filter, "description|pattern".
QString mountDataFilter();

} // namespace corvane
