#include "pec/PecFile.h"

#include "common/FileSafety.h"
#include "link/BoardLine.h"
#include "pec/PecState.h"

#include <QFile>

namespace corvane {

namespace {

constexpr int kFileLines = 1 + kPecSteps; // the header and one line per step
// A PEC file is some 7 KB; anything far larger is not one.
constexpr qint64 kMaxFileBytes = 1024 * 1024;

// The single digit at `pos`, or -1 when there is none there or another digit
// or a decimal point continues it (the number would not be a single digit).
int singleDigitAt(const QString& line, int pos) {
    auto isDigit = [&line](int i) {
        return i < line.size() && line.at(i) >= QLatin1Char('0') && line.at(i) <= QLatin1Char('9');
    };
    if (!isDigit(pos))
        return -1;
    if (isDigit(pos + 1) || (pos + 1 < line.size() && line.at(pos + 1) == QLatin1Char('.')))
        return -1;
    return line.at(pos).unicode() - '0';
}

// The code at characters 3 and 4 of a table line, a leading blank skipped.
int codeOfLine(const QString& line) {
    const int pos = line.size() > 2 && line.at(2) == QLatin1Char(' ') ? 3 : 2;
    return singleDigitAt(line, pos);
}

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

bool isWholePlan(const RestorePlan& plan) {
    if (plan.factor < 1 || plan.factor > 9 || plan.codes.size() != kPecSteps)
        return false;
    for (const int code : plan.codes)
        if (code < 0 || code > 9)
            return false;
    return true;
}

} // namespace

QString pecFileFilter() {
    return QStringLiteral("PEC Data file (*.csv)|*.csv");
}

QString withCsvExtension(const QString& name) {
    if (name.isEmpty())
        return name;
    const int at = name.size() >= 4 ? name.size() - 4 : 0;
    return name.at(at) == QLatin1Char('.') ? name : name + QStringLiteral(".csv");
}

bool writePecCsv(const QString& path, const QString& csvText, QString* error) {
    QString reason;
    switch (replaceFile(path, (csvText + QStringLiteral("\r\n")).toUtf8(), &reason)) {
    case Replaced::Yes:
        return true;
    case Replaced::WriteFailed:
        return fail(error,
                    QStringLiteral("Could not write the PEC file \"%1\": %2").arg(path, reason));
    case Replaced::NotRegular:
    case Replaced::ReadOnly:
        break;
    }
    return fail(error, reason);
}

std::optional<RestorePlan> readRestoreFile(const QString& path, QString* error) {
    if (!isRegularFile(path, error))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(
            error,
            QStringLiteral("Could not open the PEC file \"%1\": %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray data = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        fail(
            error,
            QStringLiteral("Could not read the PEC file \"%1\": %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (data.size() > kMaxFileBytes) {
        fail(error, QStringLiteral("\"%1\" is far too large to be a PEC file.").arg(path));
        return std::nullopt;
    }

    // Latin-1 keeps one character per byte, so positions are the file's own.
    const QString text = QString::fromLatin1(data);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.isEmpty() || text.endsWith(QLatin1Char('\n')))
        lines.removeLast(); // the final line end opens no line
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);

    if (lines.size() < kFileLines) {
        fail(error, lines.isEmpty()
                        ? QStringLiteral("The PEC file is empty.")
                        : QStringLiteral("The PEC file ends at line %1; a PEC table takes %2 "
                                         "lines: a header and one for each of the %3 steps.")
                              .arg(lines.size())
                              .arg(kFileLines)
                              .arg(kPecSteps));
        return std::nullopt;
    }

    RestorePlan plan;
    plan.factor = singleDigitAt(lines.at(1), 0);
    if (plan.factor < 1) {
        fail(error, QStringLiteral(
                        "Line 2 of the PEC file does not begin with a PEC factor from 1 to 9."));
        return std::nullopt;
    }
    plan.codes.reserve(kPecSteps);
    plan.echoText = QString::number(plan.factor) + QStringLiteral("\r\n");
    for (int r = 1; r < kFileLines; ++r) {
        const int code = codeOfLine(lines.at(r));
        if (code < 0) {
            fail(error, QStringLiteral("Line %1 of the PEC file holds no table code.").arg(r + 1));
            return std::nullopt;
        }
        plan.codes.append(code);
        plan.echoText += QString::number(code) + QStringLiteral("\r\n");
    }
    return plan;
}

Sequence pecRestoreSequence(BoardLine& line, const RestorePlan& plan, ReplyHandler stateRead) {
    Sequence s(QStringLiteral("PEC restore"));
    // A half-written table is lost data: the restore is never cut short and
    // never runs beside another exchange.
    s.protect().exclusive();
    // Nothing would reach the board: end as cancelled, not as done, so no
    // one takes the table for written.
    if (!isWholePlan(plan))
        return s.ask([] { return false; });
    s.ask([&line] { return line.isOpen(); });
    appendPecWrite(s, plan, std::move(stateRead));
    return s;
}

void appendPecWrite(Sequence& s, const RestorePlan& plan, ReplyHandler stateRead) {
    s.send(QStringLiteral("#%1p#").arg(plan.factor));
    for (int step = 0; step < kPecSteps; ++step)
        s.send(pecWriteCommand(step, plan.codes.at(step)))
            .pause(kPecRestorePauseMs)
            .report(step, kPecSteps);
    s.send(QStringLiteral("#:XYR#"))
        .pause(kPecRestorePauseMs)
        .send(QStringLiteral("Y"))
        .pause(kPecRestorePauseMs)
        .request(pecStateQuery(), std::move(stateRead));
}

} // namespace corvane
