#pragma once

#include "backup/MountBackup.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace corvane {

// MountCompare: what restoring a backup would change, one row per setting
// that differs (or "PEC"), with the board's value and the backup's. Its
// default button, which Enter presses, writes them.
class MountCompareDialog : public QDialog {
    Q_OBJECT
public:
    MountCompareDialog(const QVector<BackupDifference>& differences, QWidget* parent = nullptr);

    QTableWidget* gridCompare = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace corvane
