#pragma once

#include "link/Query.h"
#include "link/Reply.h"
#include "motion/Coordinates.h"

#include <QObject>
#include <QString>
#include <optional>

namespace corvane {

class Clock;

// The position replies' codes: the mount's right ascension and declination,
// read together (the poll) or one at a time.
namespace PositionKind {
constexpr qint16 RightAscension = 1;
constexpr qint16 Declination = 2;
constexpr qint16 Position = 99;
} // namespace PositionKind

// "#:GR##:GD#", 15 characters HH:MM.T#sDD*MM#.
Query positionQuery();
// "#:GR#" (8 characters) and "#:GD#" (7).
Query rightAscensionQuery();
Query declinationQuery();

// Where the mount points, as the board last reported it. A reply that is not
// in the board's form changes nothing and is named once (badReply) until a
// good one comes.
class MountPosition : public QObject {
    Q_OBJECT
public:
    MountPosition(Clock& clock, QObject* parent = nullptr);

    // The handlers the position queries' replies go to: read here, and
    // handed on to `then` (if any), decoded, or why there is none.
    ReplyHandler positionReply(std::function<void(const Answer<BoardPosition>&)> then = {});
    ReplyHandler rightAscensionReply();
    ReplyHandler declinationReply();

    // Right ascension and declination as the board last gave them; none
    // before a reply.
    const std::optional<BoardRa>& ra() const { return m_ra; }
    const std::optional<BoardDec>& dec() const { return m_dec; }
    // The same in the board's own texts, "12:34.5" and "+45*30"; empty before.
    QString raText() const { return m_ra ? m_ra->text() : QString(); }
    QString decText() const { return m_dec ? m_dec->text() : QString(); }
    // Whether each came with the position query (shown reformatted) or on
    // its own (shown as it came).
    bool raFromPosition() const { return m_raFromPosition; }
    bool decFromPosition() const { return m_decFromPosition; }

    // When the board last reported it (on the program's clock); -1 before.
    qint64 updatedMs() const { return m_updatedMs; }

signals:
    void changed();
    void badReply(const QString& message);

private:
    std::optional<BoardPosition> readPosition(const QByteArray& reply);
    std::optional<BoardRa> readRightAscension(const QByteArray& reply);
    std::optional<BoardDec> readDeclination(const QByteArray& reply);
    void update();
    void note(const Query& query, bool good);

    Clock& m_clock;
    std::optional<BoardRa> m_ra;
    std::optional<BoardDec> m_dec;
    bool m_raFromPosition = true;
    bool m_decFromPosition = true;
    qint64 m_updatedMs = -1;
    bool m_lastWasBad = false;
};

} // namespace corvane
