#include "backup/MountBackupRunner.h"

#include "Version.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "config/DriveConfiguration.h"
#include "config/MountDataFile.h"
#include "config/SaveAll.h"
#include "controller/ControllerInfo.h"
#include "link/BoardLine.h"
#include "pec/PecState.h"
#include "pec/PecTable.h"

namespace corvane {

namespace {

QString programName() {
    return QStringLiteral("Corvane Control %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString versionText(const QString& reply) {
    return QString::number(parseVersionReply(reply).version, 'f', 2);
}

} // namespace

struct MountBackupRunner::Reading {
    QString part; // what is being read, for the message when it does not come
    QByteArray dump;
    QByteArray state;
    QByteArray table;
    int arrived = 0;
};

MountBackupRunner::MountBackupRunner(BoardLine& line, ControllerInfo& controller,
                                     ReplyHandler pecStateRead, Clock& clock, Prompts& prompts,
                                     QObject* parent)
    : QObject(parent), m_line(line), m_controller(controller), m_clock(clock), m_prompts(prompts),
      m_pecStateRead(std::move(pecStateRead)) {
    connect(&m_line, &BoardLine::arriving, this, [this](int waiting, int) {
        if (m_reading && m_reading->part == QLatin1String("PEC table")) {
            m_reading->arrived = qMax(m_reading->arrived, waiting);
            emit progress(2 + waiting, 2 + kPecSteps);
        }
    });
}

void MountBackupRunner::tell(const QString& text) {
    m_prompts.message(text, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

bool MountBackupRunner::connected() {
    if (m_line.isOpen() && m_controller.firmwareVersion() > 0.0f)
        return true;
    tell(QStringLiteral("No board is connected: connect to it first."));
    return false;
}

// The backup's replies come to it alone, kept as the board gave them: the
// pages do not change for a backup.
void MountBackupRunner::readBoard(const QString& name, bool exclusive, Done done) {
    auto r = std::make_shared<Reading>();
    const auto keep = [r](QByteArray Reading::*part) {
        return [r, part](const RawReply& reply) {
            if (reply.ok())
                (*r).*part = reply.bytes;
        };
    };
    const bool split = m_controller.version().splitSettingsDump;
    Sequence s(name);
    if (exclusive)
        s.exclusive();
    s.then([this, r] {
         m_reading = r;
         r->part = QStringLiteral("settings");
         emit progress(0, 2 + kPecSteps);
     })
        .request(settingsQuery(split), keep(&Reading::dump))
        .awaitReply()
        .then([r] { r->part = QStringLiteral("PEC state"); })
        .request(pecStateQuery(), keep(&Reading::state))
        .awaitReply()
        .then([this, r, table = keep(&Reading::table)] {
            r->part = QStringLiteral("PEC table");
            emit progress(2, 2 + kPecSteps);
            m_line.flushInput();
            m_line.expect(pecTableQuery(), table);
        });
    for (int step = 0; step < kPecSteps; ++step)
        s.send(pecReadCommand(step));
    s.awaitReply().onEnd([this, r, done](SequenceResult result) { readEnded(r, result, done); });
    if (!m_line.run(std::move(s)))
        tell(QStringLiteral("Another exchange with the controller is running; try again when "
                            "it has finished."));
}

// A board that does not answer, or a table that stops short, gives no backup:
// the message says which part failed, and nothing is written.
void MountBackupRunner::readEnded(const std::shared_ptr<Reading>& r, SequenceResult result,
                                  const Done& done) {
    m_reading.reset();
    if (result == SequenceResult::Cancelled)
        return;
    if (result != SequenceResult::Done) {
        tell(QStringLiteral("The board did not answer the %1 query: nothing was written.")
                 .arg(r->part));
        return;
    }
    MountBackup board;
    board.program = programName();
    board.firmware = m_controller.reply();
    board.created = m_clock.utcNow();
    const std::optional<QStringList> settings =
        settingsOfDump(r->dump, m_controller.version().splitSettingsDump);
    board.factor = decodePecState(r->state).factor();
    const PecTable table = decodePecTable(QString::fromLatin1(r->table), board.factor);
    if (!settings) {
        tell(QStringLiteral("The board's settings came cut short: nothing was written."));
        return;
    }
    if (board.factor < 1 || board.factor > 9) {
        tell(QStringLiteral("The board reports no PEC factor from 1 to 9: nothing was written."));
        return;
    }
    if (!table.isComplete()) {
        tell(QStringLiteral("The PEC table stopped short: %1 of %2 steps arrived; nothing was "
                            "written.")
                 .arg(table.rows.size())
                 .arg(kPecSteps));
        return;
    }
    board.settings = *settings;
    for (const PecRow& row : table.rows)
        board.codes << row.code;
    done(board);
}

void MountBackupRunner::backUp() {
    if (!connected())
        return;
    QString path = m_prompts.saveFileName(mountBackupFilter());
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".cmb"), Qt::CaseInsensitive))
        path += QStringLiteral(".cmb");
    readBoard(QStringLiteral("mount backup"), true, [this, path](const MountBackup& board) {
        const QString unreadable = unreadableSetting(board);
        if (!unreadable.isEmpty()) {
            tell(QStringLiteral("The board's %1 is no value this program can read: nothing was "
                                "written.")
                     .arg(unreadable));
            return;
        }
        QString error;
        if (writeMountBackup(path, board, &error))
            emit status(QStringLiteral("Mount backed up to ") + path);
        else
            tell(error);
    });
}

void MountBackupRunner::restore() {
    const QString path = m_prompts.openFileName(mountBackupFilter());
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<MountBackup> file = readMountBackup(path, &error);
    if (!file) {
        tell(error + QStringLiteral(" Nothing was sent."));
        return;
    }
    if (!connected())
        return;
    if (file->splitSettingsDump() != m_controller.version().splitSettingsDump) {
        tell(QStringLiteral("This backup is of firmware %1, the board has firmware %2: their "
                            "settings differ in form (%3 against %4 bytes). Nothing was sent.")
                 .arg(versionText(file->firmware), versionText(m_controller.reply()))
                 .arg(file->splitSettingsDump() ? 18 : 16)
                 .arg(m_controller.version().splitSettingsDump ? 18 : 16));
        return;
    }
    readBoard(QStringLiteral("mount comparison"), true,
              [this, file = *file, path](const MountBackup& board) {
                  const QVector<BackupDifference> differences = compareBackup(board, file);
                  if (differences.isEmpty())
                      emit status(QStringLiteral("The board already holds the backup ") + path);
                  else if (m_confirm && m_confirm(differences))
                      write(file, differences, path);
              });
}

// Only what differs goes out, as one exchange that is never cut short.
void MountBackupRunner::write(const MountBackup& file, const QVector<BackupDifference>& differences,
                              const QString& path) {
    Sequence s(QStringLiteral("mount restore"));
    s.protect().exclusive();
    s.ask([this] { return m_line.isOpen(); });
    const QVector<MountDataKey> keys = mountDataKeys();
    bool table = false;
    for (const BackupDifference& d : differences) {
        if (d.key < 0) {
            table = true;
            continue;
        }
        const SaveAllStep& c = keys.at(d.key).control;
        const QString& value = file.settings.at(d.key);
        if (c.isList && settingListInfo(c.list).setsAwaitedCountToOne)
            s.then([this] { m_line.expect(settingAcknowledgement()); });
        s.send(c.isList ? listCommand(c.list, value).command
                        : numberCommand(c.number, value).value_or(QString()));
    }
    if (table)
        appendPecWrite(s, file.pecPlan(), m_pecStateRead);
    else
        s.send(storeSettingsCommand());
    s.onEnd([this, file, path](SequenceResult result) {
        if (result == SequenceResult::Done)
            verify(file, path);
        else
            tell(QStringLiteral("The restore of the mount was cut short: the board may hold "
                                "part of the backup."));
    });
    // Straight after the comparison, before any poll that came while the
    // differences were shown.
    if (!m_line.follow(std::move(s)))
        tell(QStringLiteral("Another exchange with the controller is running; nothing was "
                            "sent. Try again when it has finished."));
}

void MountBackupRunner::verify(const MountBackup& file, const QString& path) {
    // Queued behind the restore, whose end this is.
    readBoard(QStringLiteral("mount check"), false, [this, file, path](const MountBackup& b) {
        const QVector<BackupDifference> left = compareBackup(b, file);
        if (left.isEmpty()) {
            emit status(QStringLiteral("Mount restored from %1 and checked").arg(path));
            return;
        }
        QStringList names;
        for (const BackupDifference& d : left)
            names << QStringLiteral("%1 (board %2, backup %3)").arg(d.name, d.board, d.file);
        tell(QStringLiteral("The board did not take: ") + names.join(QStringLiteral("; ")));
    });
}

void MountBackupRunner::exportBackup() {
    const QString path = m_prompts.openFileName(mountBackupFilter());
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<MountBackup> backup = readMountBackup(path, &error);
    const QString base =
        path.endsWith(QLatin1String(".cmb"), Qt::CaseInsensitive) ? path.chopped(4) : path;
    if (!backup || !exportMountBackup(*backup, base + QStringLiteral(".mdf"),
                                      base + QStringLiteral(".csv"), &error)) {
        tell(error);
        return;
    }
    emit status(QStringLiteral("Backup saved as %1.mdf and %1.csv").arg(base));
}

} // namespace corvane
