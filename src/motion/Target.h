#pragma once

#include "link/Query.h"
#include "motion/TargetCommands.h"
#include "motion/TargetFields.h"

#include <QObject>

namespace corvane {

class BoardLine;
class MountPosition;

// "#:Gr##:Gd#": the target the board holds, 14 characters awaited.
constexpr qint16 kControllerTargetKind = 98;
Query controllerTargetQuery();

// The target ("object") in the board's resolution. The user's entries (taken
// when a field is left), the board's target read back, a catalogue record, a
// planet and a client's set target all write it; the fields show it and the
// commands send it in the same texts.
class Target : public QObject {
    Q_OBJECT
public:
    // A sync reads the position back into `position`.
    Target(BoardLine& line, MountPosition& position, QObject* parent = nullptr);

    const BoardPosition& position() const { return m_position; }
    // The four fields' texts: "05", "34.5", "+45", "30".
    TargetFieldTexts texts() const { return fieldTexts(m_position); }
    void set(const BoardPosition& position);
    void setRa(const BoardRa& ra);
    void setDec(const BoardDec& dec);

    // The commands, each run as a sequence behind any exchange under way.
    void setInMount();
    void goTo();
    void sync();
    // The board's target read back; a reply not in the board's form never
    // reaches the fields (the set command would carry it).
    void readBack();

signals:
    void changed();
    // The board's target as the reply box shows it (its last 15 characters).
    void controllerTargetRead(const QString& response);
    void badReply(const QString& message);

private:
    void readControllerTarget(const QString& reply);

    BoardLine& m_line;
    MountPosition& m_mountPosition;
    BoardPosition m_position;
};

} // namespace corvane
