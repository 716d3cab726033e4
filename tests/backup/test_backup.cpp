// The whole mount in one file: backed up from one simulated board, compared
// with and written onto another, and files that must send nothing.
#include "backup/MountBackupRunner.h"
#include "common/WindowFixture.h"
#include "motion/MountPosition.h"
#include "sim/CommandTokenizer.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct Board : SimWindow<> {
    explicit Board(const QString& firmware = QStringLiteral("3.60"))
        : SimWindow({QStringLiteral("--firmware"), firmware}) {
        QVERIFY(connect());
        received();
    }
    MountBackupRunner& backup() const { return window->backup(); }
    QString lastMessage() const {
        return prompts.shown.isEmpty() ? QString() : prompts.shown.last().text;
    }
};

// The whole settings dump, asked for as the board's firmware wants it.
QByteArray dumpOf(sim::CorvaneBoard& board) {
    QByteArray replies;
    sim::CommandTokenizer t;
    for (const sim::BoardCommand& c : t.feed(board.splitDump() ? "#<:VX##>:VX#" : "#:VX#"))
        replies += board.execute(c, board.nowMs());
    return replies;
}

QByteArray pecOf(sim::CorvaneBoard& board) {
    QByteArray codes;
    for (int step = 0; step < 256; ++step)
        codes += char('0' + board.pec().code(step));
    return codes + QByteArray::number(board.pec().factor());
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void aBackupRestoredOntoAnotherBoardMakesItTheSame() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("mount.cmb"));
        QByteArray dump, pec;
        {
            Board first;
            sim::CorvaneBoard& b = first.port->board();
            b.working().gotoSpeed = 0x0C;
            b.working().raBacklash = -1;
            b.pec().setFactor(7);
            for (int step = 0; step < 256; ++step)
                b.pec().writeCode(step, step % 4);
            first.prompts.fileNames << file;
            first.trigger(QStringLiteral("mnuBackup"));
            first.settle();
            QCOMPARE(first.panel(4), QStringLiteral("Mount backed up to ") + file);
            dump = dumpOf(b);
            pec = pecOf(b);
        }
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QVERIFY(text.startsWith("[Backup]\r\nProgram=Corvane Control ") &&
                text.contains("\r\nFirmware=3.60 CORV#\r\n") &&
                text.contains("\r\n[MountParam]\r\nGuideRate=1.67X\r\n") &&
                text.contains("\r\nGotoSpeed=40X\r\n") && text.contains("\r\nBacklashR=-1\r\n") &&
                text.contains("\r\n[PEC]\r\nFactor=7\r\nStep000=0\r\n") &&
                text.endsWith("\r\nStep255=3\r\n"));

        Board second;
        QVERIFY(dumpOf(second.port->board()) != dump);
        QStringList rows;
        second.backup().setConfirm([&](const QVector<BackupDifference>& differences) {
            for (const BackupDifference& d : differences)
                rows << d.name + '=' + d.board + '>' + d.file;
            // A poll comes while the differences are shown: it waits for the restore.
            second.line().run(Sequence(QStringLiteral("poll")).request(positionQuery()));
            return true;
        });
        second.prompts.fileNames << file;
        second.trigger(QStringLiteral("mnuRestoreMount"));
        second.settle(20000);
        QCOMPARE(rows.mid(0, 2), QStringList({"Goto Speed=27X>40X", "RA Backlash=32>-1"}));
        QVERIFY2(rows.size() == 3 && rows[2].startsWith("PEC=factor 3>factor 7, ") &&
                     rows[2].endsWith(" of 256 steps differ"),
                 qPrintable(rows.join('|')));
        // The reads, only the differing settings, the table and the store, and the check.
        const QStringList sent = second.received();
        const QStringList writes =
            sent.filter(QRegularExpression("^(?!#\\d+:VR#)(?!#[<>]?:V[XS]#)"));
        QCOMPARE(writes.mid(0, 3), QStringList({"#5:Ss2#", "#-1b", "#7p#"}));
        QCOMPARE(writes.mid(3, 256).filter(QRegularExpression("^#\\d+:XR\\d#$")).size(), 256);
        QCOMPARE(writes.mid(259, 2), QStringList({"#:XYR#", "Y"}));
        QCOMPARE(second.panel(4), QStringLiteral("Mount restored from %1 and checked").arg(file));
        QCOMPARE(dumpOf(second.port->board()), dump);
        QCOMPARE(pecOf(second.port->board()), pec);
    }

    // A damaged backup names its first bad line and sends nothing (an empty value
    // is no "leave as it is", only the DEC worm ratio of boards without one may be
    // empty); one of the other firmware family is refused naming both versions.
    // Numbers compare as numbers: a backup's "032" is the board's 32.
    void aBadBackupSendsNothing() {
        Board b;
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.cmb"));
        b.prompts.fileNames << good;
        b.trigger(QStringLiteral("mnuBackup"));
        b.settle();
        QFile f(good);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("\r\nWormRatioD=\r\n"));
        b.port->board().working().gotoSpeed = 0x0C; // 40X: the file's 27X differs
        const std::pair<QByteArray, const char*> damaged[] = {
            {QByteArray(text).replace("WormWheel=138\r\n", ""), "lacks WormWheel"},
            {QByteArray(text).replace("Step017=", "Step017=12"), "Line 40 "},
            {text.left(text.indexOf("Step200")), "lacks Step200"},
            {QByteArray(text).replace("GotoSpeed=27X", "GotoSpeed=12X"), "Line 9 "},
            {QByteArray(text).replace("GotoSpeed=27X", "GotoSpeed="), "Line 9 "},
            {QByteArray(text).replace("WormWheel=138", "WormWheel=1x8"), "Line 16 "},
            {QByteArray(text).replace("[PEC]\r\n", "[PEC]\r\nFactor 7\r\n"), "Line 22 "},
            {QByteArray(text)
                 .replace("Firmware=3.60 CORV#", "Firmware=3.50 CORV#")
                 .replace("WormRatioD=", "WormRatioD=80"),
             "firmware 3.50, the board has firmware 3.60"}};
        QStringList rows;
        b.backup().setConfirm([&rows](const QVector<BackupDifference>& differences) {
            for (const BackupDifference& d : differences)
                rows << d.name + '=' + d.board + '>' + d.file;
            return false;
        });
        b.received();
        const QString path = dir.filePath(QStringLiteral("bad.cmb"));
        const auto restore = [&](const QByteArray& content) {
            QFile bad(path);
            QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate) && bad.write(content) > 0);
            bad.close();
            b.prompts.shown.clear();
            b.prompts.fileNames << path;
            b.trigger(QStringLiteral("mnuRestoreMount"));
            b.settle();
        };
        for (const auto& [content, says] : damaged) {
            restore(content);
            QVERIFY2(b.lastMessage().contains(QLatin1String(says)), qPrintable(b.lastMessage()));
            QVERIFY(b.received().isEmpty() && rows.isEmpty());
        }
        restore(QByteArray(text).replace("BacklashR=32\r\n", "BacklashR=032\r\n"));
        QCOMPARE(rows, QStringList{"Goto Speed=40X>27X"});

        // A board value the program cannot read would make a backup that is
        // refused on restore: none is written.
        b.port->board().working().gotoSpeed = 0x03;
        const QString unreadable = dir.filePath(QStringLiteral("unreadable.cmb"));
        b.prompts.fileNames << unreadable;
        b.trigger(QStringLiteral("mnuBackup"));
        b.settle();
        QVERIFY2(b.lastMessage().contains(QLatin1String("Goto Speed")),
                 qPrintable(b.lastMessage()));
        QVERIFY(!QFile::exists(unreadable));
    }
};

QTEST_MAIN(TestBackup)
#include "test_backup.moc"
