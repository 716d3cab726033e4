#include "pec/PecTable.h"

#include "common/NumberText.h"
#include "link/BoardLine.h"

namespace corvane {

namespace {
const QString kLimits[2] = {QString::number(kPecSpeedLimit), QString::number(-kPecSpeedLimit)};
} // namespace

PecTable decodePecTable(const QString& reply, int factor) {
    PecTable table;
    int requested = 0;
    const int steps = qMin(kPecSteps, static_cast<int>(reply.size()));
    for (int step = 0; step < steps; ++step) {
        const QChar c = reply.at(step);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const int code = c.unicode() - '0';
        if (code == 1)
            requested += factor;
        else if (code == 2)
            requested -= factor;
        else if (code == 3)
            requested = 0;
        const int actual = qBound(-kPecSpeedLimit, requested, kPecSpeedLimit);
        table.rows.append({step, factor, code, requested, actual});
    }
    return table;
}

QString pecColumnView(const PecTable& table) {
    QString out = QStringLiteral("Step     Factor     Table     ReqSpd    RealSpd   MinSpd    "
                                 "MaxSpd\r\n");
    const QChar tab = QLatin1Char('\t');
    for (const PecRow& r : table.rows) {
        out += format000(r.step) + tab + QString::number(r.factor) + tab + QString::number(r.code) +
               tab + QString::number(r.requested) + tab + QString::number(r.actual) + tab +
               kLimits[0] + tab + kLimits[1] + QStringLiteral("\r\n");
    }
    return out;
}

QString pecCsvText(const PecTable& table) {
    QString out = QStringLiteral("Factor, Table, ReqSpeed, IsSpeed, MinSpeed, MaxSpeed\r\n");
    for (const PecRow& r : table.rows) {
        out += QStringLiteral("%1, %2, %3, %4, %5, %6\r\n")
                   .arg(r.factor)
                   .arg(r.code)
                   .arg(r.requested)
                   .arg(r.actual)
                   .arg(kLimits[0], kLimits[1]);
    }
    return out;
}

QVector<QPointF> pecChartPoints(const PecTable& table) {
    QVector<QPointF> points;
    points.reserve(table.rows.size());
    for (const PecRow& r : table.rows)
        points.append(QPointF(r.step, r.actual));
    return points;
}

QString pecReadCommand(int step) {
    return QStringLiteral("#%1:VR#").arg(step);
}

QString pecWriteCommand(int step, int code) {
    return QStringLiteral("#%1:XR%2#").arg(step).arg(code);
}

Query pecTableQuery() {
    Query q;
    q.name = QStringLiteral("PEC table read-out");
    q.replyLength = kPecSteps;
    q.awaitedKind = kPecTableKind;
    q.collects = true;
    return q;
}

Sequence pecReadoutSequence(BoardLine& line, ReplyHandler tableRead) {
    Sequence s(QStringLiteral("PEC read-out"));
    // The query collects: the sends do not flush, so the answers pile up
    // until all 256 are in; the input is cleared once, before the first.
    s.then([&line, tableRead = std::move(tableRead)] {
        line.flushInput();
        line.expect(pecTableQuery(), tableRead);
    });
    for (int step = 0; step < kPecSteps; ++step)
        s.send(pecReadCommand(step));
    s.awaitReply();
    s.exclusive();
    return s;
}

} // namespace corvane
