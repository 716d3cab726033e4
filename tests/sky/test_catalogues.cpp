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

QString joined(const QVector<CatalogueEntry>& entries) {
    QStringList parts;
    for (const CatalogueEntry& e : entries)
        parts << e.name + QLatin1Char('=') + QString::number(e.records);
    return parts.join(QLatin1Char(';'));
}

QString texts(const TargetFieldTexts& t) {
    return QStringList{t.hours, t.minutes, t.degrees, t.decMinutes}.join(QLatin1Char(' '));
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
        QFETCH(QString, entries);
        QFETCH(QString, problemMentions);
        const QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
        writeFile(folder + "/catalog.lst", content);
        QString problem = "stale";
        QCOMPARE(joined(readCatalogueList(folder, &problem)), entries);
        QCOMPARE(problem.isEmpty(), problemMentions.isEmpty());
        QVERIFY2(problem.contains(problemMentions), qPrintable(problem));
    }

    void splitting_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fields");
        const auto row = [](const char* tag, const char* line, const char* fields) {
            QTest::newRow(tag) << QString(line) << QString(fields);
        };
        row("example", "M31,00,42.7,+41,16,x,3.4,Andromeda Galaxy, near us",
            "M31|00|42.7|+41|16|x|3.4|Andromeda Galaxy, near us");
        row("empty field merges", "a,,b,c,d,e,f,g", "a|,b|c|d|e|f|g|");
        row("leading comma", ",b,c,d,e,f,g,h", "|b|c|d|e|f|g|h");
        row("empty description", "a,b,c,d,e,f,g,", "a|b|c|d|e|f|g|");
        row("short line", "M1,05,34.5", "M1|05|34.5|||||");
        row("empty line", "", "|||||||");
    }
    void splitting() {
        QFETCH(QString, line);
        QFETCH(QString, fields);
        const QStringList split = splitCatalogueRecord(line);
        QCOMPARE(split.size(), kCatalogueFields);
        QCOMPARE(split.join(QLatin1Char('|')), fields);
    }

    void target_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const char* line, const char* expected) {
            QTest::newRow(tag) << QString(line) << QString(expected);
        };
        row("padding", "S,7,5.5,5,8", "07 5.5 +05 08");
        row("south", "S,23,59.9,-5,0", "23 59.9 -05 00");
        // A written minus stays when the degrees round to zero.
        row("minus zero", "S,0,0,-0,30", "00 0 -00 30");
        row("minus zero zero", "S,0,0,-00,30", "00 0 -00 30");
        row("minus half", "S,0,0,-0.5,0", "00 0 -01 00");
        row("minus below half", "S,0,0,-0.4,0", "00 0 -00 00");
        row("rounding", "S,4.5,1,+9.5,7.5", "05 1 +10 08");
        row("not numbers", "S,7h,5m,x5,8'", "7h 5m x5 8'");
        row("short record", "S,7", "07   ");
    }
    void target() {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QCOMPARE(texts(recordTarget(splitCatalogueRecord(line))), expected);
    }

    void catalogue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("last"); // the last record's fields
        QTest::addColumn<QString>("problemMentions");
        const auto row = [](const char* tag, const QByteArray& content, int offered, int count,
                            const QString& last, const char* problem) {
            QTest::newRow(tag) << content << offered << count << last << QString(problem);
        };
        const QByteArray comment = "; a comment\r\n";
        const QString n3 = "N3|01|02.0|+03|04|-|5.0|Thing",
                      n401 = "N401|01|02.0|+03|04|-|5.0|Thing";
        row("comments anywhere", comment + records(2) + comment + comment + records(1, 3) + comment,
            3, 3, n3, "");
        row("offers fewer", records(5), 3, 3, n3, "");
        row("holds fewer", records(3), 5, 3, n3, "holds 3 records");
        row("short line", records(1) + "B,01\n", 2, 2, "B|01||||||", "");
        row("401 and comments", records(200) + comment + records(201, 201) + comment, 401, 401,
            n401, "");
        row("more than 401", records(405), 500, 401, n401, "more than 401");
        row("none offered", records(3), 0, 0, "", "offers no records");
        row("negative count", records(3), -3, 0, "", "offers no records");
    }
    void catalogue() {
        QFETCH(QByteArray, content);
        QFETCH(int, offered);
        QFETCH(int, count);
        QFETCH(QString, last);
        QFETCH(QString, problemMentions);
        writeFile(path("Test, one.gtc"), content);
        QString problem = "stale";
        const QVector<QStringList> got = readCatalogue(dir_.path(), "Test, one", offered, &problem);
        QCOMPARE(got.size(), count);
        QCOMPARE(got.isEmpty() ? QString() : got.last().join(QLatin1Char('|')), last);
        QCOMPARE(problem.isEmpty(), problemMentions.isEmpty());
        QVERIFY2(problem.contains(problemMentions), qPrintable(problem));
    }

    // Missing files and ones that are not regular files (a FIFO would block
    // the first read for good) give nothing and a reason, without hanging.
    void missingAndOddFiles() {
        for (const QString kind : {"missing", "fifo", "folder"}) {
            const QString folder = path("odd-" + kind);
            QDir().mkpath(folder);
            for (const QString name : {"catalog.lst", "Odd.gtc"}) {
                const QString file = folder + '/' + name;
                if (kind == "fifo")
                    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
                else if (kind == "folder")
                    QVERIFY(QDir().mkpath(file));
            }
            QString problem;
            QVERIFY(readCatalogueList(folder, &problem).isEmpty());
            QVERIFY2(!problem.isEmpty(), qPrintable(kind));
            problem.clear();
            QVERIFY(readCatalogue(folder, "Odd", 10, &problem).isEmpty());
            QVERIFY2(!problem.isEmpty(), qPrintable(kind));
            QCOMPARE(catalogueFolder(folder, QString()), QString());
        }
        QString problem;
        QVERIFY(readCatalogueList(QString(), &problem).isEmpty());
        QVERIFY(!problem.isEmpty());
    }

    // The working folder wins, then the build tree, then the installed
    // catalogues.
    void folderOrder() {
        const QString share = QStringLiteral("share/corvane-control/catalogues");
        const std::pair<QStringList, QString> cases[] = {
            {{"work", "bin/catalogues", share}, "work"},
            {{"bin/catalogues", share}, "bin/catalogues"},
            {{share}, share},
            {{}, ""},
        };
        for (const auto& [withList, expected] : cases) {
            QTemporaryDir root;
            for (const QString& sub : {QStringLiteral("work"), QStringLiteral("bin"), share})
                QDir().mkpath(root.filePath(sub));
            for (const QString& sub : withList)
                writeFile(root.filePath(sub + "/catalog.lst"), "A,1\n");
            const QString found = catalogueFolder(root.filePath("work"), root.filePath("bin"));
            QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected));
        }
    }

    // The catalogues the build puts beside the executables: every record of
    // every one of them gives target texts in the fields' forms.
    void shippedCatalogues() {
        const QString bin = qEnvironmentVariable("CORVANE_BIN_DIR");
        QVERIFY(!bin.isEmpty());
        const QString folder = catalogueFolder(QString(), bin);
        QCOMPARE(folder, QDir::cleanPath(bin + "/catalogues"));
        QString problem;
        const QVector<CatalogueEntry> list = readCatalogueList(folder, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(!list.isEmpty());
        QCOMPARE(list.first().name, QStringLiteral("Messier"));
        for (const CatalogueEntry& entry : list) {
            const QVector<QStringList> got =
                readCatalogue(folder, entry.name, entry.records, &problem);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            QCOMPARE(got.size(), entry.records);
            for (const QStringList& record : got) {
                const TargetFieldTexts t = recordTarget(record);
                const QString what = entry.name + ": " + record.join(',');
                QVERIFY2(isFieldForm(TargetField::Hours, t.hours) &&
                             isFieldForm(TargetField::Minutes, t.minutes) &&
                             isFieldForm(TargetField::DecDegrees, t.degrees) &&
                             isFieldForm(TargetField::DecMinutes, t.decMinutes),
                         qPrintable(what));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "test_catalogues.moc"
