// Object catalogues: the list file, the record splitting, what a record writes
// into the target fields, bad and missing files, where the catalogues are
// looked for, and the catalogues that ship with the program.
#include "motion/TargetFields.h"
#include "sky/Catalogues.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace corvane;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// "N<n>,..." record lines numbered from 1.
QByteArray records(int count, int from = 1) {
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += "N" + QByteArray::number(i) + ",01,02.0,+03,04,-,5.0,Thing\r\n";
    return out;
}

} // namespace

class TestCatalogues : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void catalogueList_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("problemMentions"); // empty: no problem
        const auto row = [](const char* tag, const QByteArray& content, const char* entries,
                            const char* problem) {
            QTest::newRow(tag) << content << QString(entries) << QString(problem);
        };
        row("in order, CR LF", "Messier,110\r\nIC bright,30\r\n", "Messier=110;IC bright=30", "");
        row("LF, no final end", "A,1\nB,2", "A=1;B=2", "");
        row("last comma", "NGC, IC,200", "NGC, IC=200", "");
        row("blanks round the count", "M,  110\nS,\t7 \n", "M=110;S=7", "");
        row("blank lines", "\r\nA,1\r\n  \r\n", "A=1", "");
        row("byte-order mark", "\xEF\xBB\xBFMessier,110", "Messier=110", "");
        row("negative count kept", "Odd,-3", "Odd=-3", "");
        row("bad lines skipped", "no comma\nA,1\nB,abc\nC,12.5\n,5\nD,99999999999\nE,\nF,3\n",
            "A=1;F=3", "lines 1, 3, 4, 5, 6, 7");
        row("empty", "", "", "no catalogues");
    }
    void catalogueList() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problemMentions);
        const QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
        writeFile(folder + "/catalog.lst", content);
        QString problem = "stale";
        QStringList got;
        for (const CatalogueEntry& e : readCatalogueList(folder, &problem))
            got << e.name + '=' + QString::number(e.records);
        QTEST(got.join(';'), "entries");
        QVERIFY2(problemMentions.isEmpty() ? problem.isEmpty() : problem.contains(problemMentions),
                 qPrintable(problem));
    }

    // Eight fields, "|" between them: an empty field merges with the next one.
    void splitting() {
        QStringList got;
        for (const char* line :
             {"M31,00,42.7,+41,16,x,3.4,Andromeda Galaxy, near us", "a,,b,c,d,e,f,g",
              ",b,c,d,e,f,g,h", "a,b,c,d,e,f,g,", "M1,05,34.5", ""})
            got << splitCatalogueRecord(line).join(QLatin1Char('|'));
        QCOMPARE(got, QStringList({"M31|00|42.7|+41|16|x|3.4|Andromeda Galaxy, near us",
                                   "a|,b|c|d|e|f|g|", "|b|c|d|e|f|g|h", "a|b|c|d|e|f|g|",
                                   "M1|05|34.5|||||", "|||||||"}));
    }

    // The hours, minutes, degrees and dec minutes a record writes: padding, rounding, a written
    // minus kept when the degrees round to zero, texts that are no numbers, a short record.
    void target() {
        QStringList got;
        for (const char* line :
             {"S,7,5.5,5,8", "S,23,59.9,-5,0", "S,0,0,-0,30", "S,0,0,-00,30", "S,0,0,-0.5,0",
              "S,0,0,-0.4,0", "S,4.5,1,+9.5,7.5", "S,7h,5m,x5,8'", "S,7"}) {
            const TargetFieldTexts t = recordTarget(splitCatalogueRecord(line));
            got << QStringList({t.hours, t.minutes, t.degrees, t.decMinutes}).join(' ');
        }
        QCOMPARE(got, QStringList({"07 5.5 +05 08", "23 59.9 -05 00", "00 0 -00 30", "00 0 -00 30",
                                   "00 0 -01 00", "00 0 -00 00", "05 1 +10 08", "7h 5m x5 8'",
                                   "07   "}));
    }

    void catalogue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("offered");
        QTest::addColumn<QString>("got"); // the count, then the last record's fields
        QTest::addColumn<QString>("problemMentions");
        const auto row = [](const char* tag, const QByteArray& content, int offered,
                            const QString& got, const char* problem) {
            QTest::newRow(tag) << content << offered << got << QString(problem);
        };
        const QByteArray comment = "; a comment\r\n";
        const QString n3 = "3 N3|01|02.0|+03|04|-|5.0|Thing",
                      n401 = "401 N401|01|02.0|+03|04|-|5.0|Thing";
        row("comments anywhere", comment + records(2) + comment + comment + records(1, 3) + comment,
            3, n3, "");
        row("offers fewer", records(5), 3, n3, "");
        row("holds fewer", records(3), 5, n3, "holds 3 records");
        row("short line", records(1) + "B,01\n", 2, "2 B|01||||||", "");
        row("401 and comments", records(200) + comment + records(201, 201) + comment, 401, n401,
            "");
        row("more than 401", records(405), 500, n401, "more than 401");
        row("none offered", records(3), 0, "0 ", "offers no records");
        row("negative count", records(3), -3, "0 ", "offers no records");
    }
    void catalogue() {
        QFETCH(QByteArray, content);
        QFETCH(int, offered);
        QFETCH(QString, problemMentions);
        writeFile(path("Test, one.gtc"), content);
        QString problem = "stale";
        const QVector<QStringList> got = readCatalogue(dir_.path(), "Test, one", offered, &problem);
        QTEST(QString::number(got.size()) + ' ' + got.value(got.size() - 1).join('|'), "got");
        QVERIFY2(problemMentions.isEmpty() ? problem.isEmpty() : problem.contains(problemMentions),
                 qPrintable(problem));
    }

    // Missing files and ones that are not regular files (a FIFO would block
    // the first read for good) give nothing and a reason, without hanging.
    void missingAndOddFiles() {
        for (const QString kind : {"missing", "fifo", "folder"}) {
            const QString folder = path("odd-" + kind);
            QDir().mkpath(folder);
            for (const QString name : {"catalog.lst", "Odd.gtc"}) {
                const QString file = folder + '/' + name;
                QVERIFY(kind == "missing" ||
                        (kind == "fifo" ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0
                                        : QDir().mkpath(file)));
            }
            QString listProblem, problem;
            QVERIFY(readCatalogueList(folder, &listProblem).isEmpty());
            QVERIFY(readCatalogue(folder, "Odd", 10, &problem).isEmpty());
            QVERIFY2(!listProblem.isEmpty() && !problem.isEmpty(), qPrintable(kind));
            QCOMPARE(catalogueFolder(folder, QString()), QString());
        }
        QString problem;
        QVERIFY(readCatalogueList(QString(), &problem).isEmpty() && !problem.isEmpty());
    }

    // The working folder wins, then the build tree, then the installed catalogues: each case
    // has lists in the folders from `first` on, and all three folders.
    void folderOrder() {
        const QStringList folders = {"work", "bin/catalogues", "share/corvane-control/catalogues"};
        for (int first = 0; first <= folders.size(); ++first) {
            QTemporaryDir root;
            for (const QString& sub : folders)
                QDir().mkpath(root.filePath(sub));
            for (const QString& sub : folders.mid(first))
                writeFile(root.filePath(sub + "/catalog.lst"), "A,1\n");
            QCOMPARE(catalogueFolder(root.filePath("work"), root.filePath("bin")),
                     first < folders.size() ? root.filePath(folders[first]) : QString());
        }
    }

    // The catalogues the build puts beside the executables: every record of
    // every one of them gives target texts in the fields' forms.
    void shippedCatalogues() {
        const QString bin = qEnvironmentVariable("CORVANE_BIN_DIR");
        const QString folder = catalogueFolder(QString(), bin);
        QCOMPARE(folder, QDir::cleanPath(bin + "/catalogues"));
        QString problem;
        const QVector<CatalogueEntry> list = readCatalogueList(folder, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(list.value(0).name, QStringLiteral("Messier"));
        for (const CatalogueEntry& entry : list) {
            const QVector<QStringList> got =
                readCatalogue(folder, entry.name, entry.records, &problem);
            QVERIFY2(problem.isEmpty() && got.size() == entry.records, qPrintable(problem));
            for (const QStringList& record : got) {
                const TargetFieldTexts t = recordTarget(record);
                QVERIFY2(isFieldForm(TargetField::Hours, t.hours) &&
                             isFieldForm(TargetField::Minutes, t.minutes) &&
                             isFieldForm(TargetField::DecDegrees, t.degrees) &&
                             isFieldForm(TargetField::DecMinutes, t.decMinutes),
                         qPrintable(entry.name + ": " + record.join(',')));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "test_catalogues.moc"
