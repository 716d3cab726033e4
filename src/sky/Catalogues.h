#pragma once

// Object catalogues as a source of targets. A list file, "catalog.lst", names
// the catalogues and how many records each offers; each catalogue is a text
// file "<name>.gtc" of object records, one a line:
//
//   M31,00,42.7,+41,16,And,3.4,Andromeda Galaxy, near us
//   name, RA hours, RA minutes, Dec degrees, Dec minutes, (unused),
//   magnitude, description (the rest of the line, commas and all)
//
// Lines starting with ";" are comments. Nothing here touches a widget or the
// controller: the window fills its lists from these results and writes the
// picked record into the target fields.

#include "motion/TargetFields.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace corvane {

// One line of the catalogue list: the catalogue's name and the number of
// records its list entry offers (as written, so it may be zero or negative).
struct CatalogueEntry {
    QString name;
    int records;
};

// A catalogue file keeps at most this many records; more are not read.
constexpr int kMaxCatalogueRecords = 401;
// Fields of a record; the last one is the rest of the line.
constexpr int kCatalogueFields = 8;

inline QString catalogueListFileName() {
    return QStringLiteral("catalog.lst");
}

// The catalogue list "catalog.lst" in `folder`, lines in order. Each line is
// split at its last comma: the name before it (commas inside are allowed), the
// count after it, a 32-bit whole number with blanks allowed around it. A line
// without a comma, without a name or with a count that is not a whole number
// is skipped and the rest is read on; blank lines are passed over. `problem`
// gets a short sentence for the status bar, or is cleared when all is well.
// A missing, unreadable or non-regular list (a FIFO is never opened) gives an
// empty list.
QVector<CatalogueEntry> readCatalogueList(const QString& folder, QString* problem);

// Where the catalogues come from, never the current folder (started from a
// desktop menu, that is any folder): `userDir` when it holds a regular file
// "catalog.lst" (a user's own list wins), else the ones shipped with the
// program, found from its own folder: "<executableDir>/catalogues" in the
// build tree, then "<executableDir>/../share/corvane-control/catalogues" when
// installed under any prefix. The folder found (cleaned), or empty when none
// holds a list. Catalogue files are read from the folder their list came from.
QString catalogueFolder(const QString& userDir, const QString& executableDir);

// The folder of a user's own catalogues: corvane-control/catalogues in the
// user's data folder (~/.local/share on Linux).
QString userCatalogueFolder();

// Splits one record line into its eight fields. The first seven commas end
// fields 0 to 6 and field 7 is the rest of the line. The character right
// after a comma always belongs to the next field, even when it is a comma
// itself, so an empty field merges with the one after it ("a,,b" gives "a"
// and ",b"). A line with fewer commas puts its last text in the field it
// reached and leaves the fields after it empty.
QStringList splitCatalogueRecord(const QString& line);

// The records of "<folder>/<name>.gtc" in file order, comment lines left out:
// the first `offered` of them (the count from the list), and never more than
// the file holds or than kMaxCatalogueRecords. Each record has
// kCatalogueFields fields. `problem` tells (or is cleared) when the file is
// missing, unreadable or not a regular file (nothing is returned then), when
// `offered` is not positive, when the file holds fewer records than offered,
// or when it holds more than kMaxCatalogueRecords (the first ones are kept).
QVector<QStringList> readCatalogue(const QString& folder, const QString& name, int offered,
                                   QString* problem);

// What picking a record writes into the four target fields: hours (field 1)
// formatted "00"; minutes (field 2) unchanged; degrees (field 3) formatted
// "00" with "+" in front unless negative, a written minus kept even when the
// degrees round to zero ("-00", just south of the equator); dec minutes
// (field 4) formatted "00". A text that is not a number is written unchanged.
TargetFieldTexts recordTarget(const QStringList& record);

// The picked record's tool tip: description + " Mag " + magnitude.
QString recordToolTip(const QStringList& record);

} // namespace corvane
