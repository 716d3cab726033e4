#pragma once

#include "backup/MountBackup.h"
#include "link/Reply.h"
#include "link/Sequence.h"

#include <QObject>
#include <functional>
#include <memory>

namespace corvane {

class BoardLine;
class Clock;
class ControllerInfo;
class Prompts;

// Backing up the whole mount and writing a backup back. A backup reads the
// settings dump, the PEC state and the whole table in one exchange, then
// writes the file. A restore checks the whole file first, reads the board,
// shows what would change (through `confirm`), writes only that (settings in
// the replay's order, the table as the protected restore does, then the
// store) and reads everything back to verify.
class MountBackupRunner : public QObject {
    Q_OBJECT
public:
    using Confirm = std::function<bool(const QVector<BackupDifference>& differences)>;

    // A restore's last step reads the PEC state into `pecStateRead` (the PEC
    // page), as a restore from the PEC page does.
    MountBackupRunner(BoardLine& line, ControllerInfo& controller, ReplyHandler pecStateRead,
                      Clock& clock, Prompts& prompts, QObject* parent = nullptr);

    void setConfirm(Confirm confirm) { m_confirm = std::move(confirm); }

    // Settings ▸ Back Up Mount…, Restore Mount… and the backup as a mount
    // data file and a PEC file.
    void backUp();
    void restore();
    void exportBackup();

signals:
    // Success, for the status bar.
    void status(const QString& text);
    void progress(int value, int total);

private:
    struct Reading;
    using Done = std::function<void(const MountBackup& board)>;
    // Reads the board into a backup; `done` runs only when all of it came.
    void readBoard(const QString& name, bool exclusive, Done done);
    void readEnded(const std::shared_ptr<Reading>& r, SequenceResult result, const Done& done);
    void write(const MountBackup& file, const QVector<BackupDifference>& differences,
               const QString& path);
    void verify(const MountBackup& file, const QString& path);
    bool connected();
    void tell(const QString& text);

    BoardLine& m_line;
    ControllerInfo& m_controller;
    Clock& m_clock;
    Prompts& m_prompts;
    Confirm m_confirm;
    std::shared_ptr<Reading> m_reading;
    ReplyHandler m_pecStateRead;
};

} // namespace corvane
