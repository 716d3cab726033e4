#pragma once

#include "config/SettingsDump.h"
#include "pec/PecFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace corvane {

// The whole mount in one file (".cmb"): the drive settings under the keys and
// in the value forms of a mount data file, and the PEC factor and table.
//
//   [Backup]
//   Program=Corvane Control 1.0.0
//   Firmware=3.60 CORV#          (the version reply as received)
//   Created=2026-12-07T18:04:11Z (UTC)
//   [MountParam]
//   GuideRate=1.67X
//   ...                          (the fifteen keys of a mount data file)
//   [PEC]
//   Factor=5
//   Step000=1
//   ...
//   Step255=0
//
// Lines end in CR LF.
struct MountBackup {
    QString program;
    QString firmware;
    QDateTime created;
    // In the order of mountDataKeys(); "" for a setting the board does not
    // have (the DEC worm ratio of later firmware).
    QStringList settings;
    int factor = 0;
    QVector<int> codes;

    // Split settings dump (above firmware 3.56), from the version reply.
    bool splitSettingsDump() const;
    RestorePlan pecPlan() const;
};

QString mountBackupFilter();
QByteArray mountBackupText(const MountBackup& backup);
// Written through a temporary file that replaces the old one; false with a
// message when it could not be.
bool writeMountBackup(const QString& path, const MountBackup& backup, QString* error);
// The whole file is read and checked before anything is done with it: every
// line a section, a key or a comment (";"), every key there, no value empty
// but the DEC worm ratio of firmware without one, every setting a value the
// board can take, the factor 1..9 and 256 codes 0..9. nullopt, with a
// message naming the first bad line (or the key that is missing), when it
// fails.
std::optional<MountBackup> readMountBackup(const QString& path, QString* error);

// The fifteen setting texts a settings dump shows, in mount data key order;
// nullopt when the dump did not bring them all (it was cut short).
std::optional<QStringList> settingsOfDump(const QByteArray& dump, bool split);

// A difference between the board and a backup, as the comparison shows it:
// the setting's name as on the settings page (or "PEC"), the board's value
// and the file's.
struct BackupDifference {
    QString name;
    QString board;
    QString file;
    int key = -1; // index in mount data key order; -1 for the PEC table
};
// What writing the backup would change on a board that holds `board`. A
// setting the backup leaves empty (the DEC worm ratio of a board without one)
// is not compared; numbers compare as numbers ("032" is 32).
QVector<BackupDifference> compareBackup(const MountBackup& board, const MountBackup& file);
// The name of the first setting the board gave no readable value for (other
// than the DEC worm ratio of firmware without one), or "" when all are
// there: such a backup could never be restored, so it is not written.
QString unreadableSetting(const MountBackup& board);

// The backup as a mount data file and a PEC file, as Settings ▸ Save and
// "Save PEC Data to File" write them.
bool exportMountBackup(const MountBackup& backup, const QString& mountDataPath,
                       const QString& pecPath, QString* error);

} // namespace corvane
