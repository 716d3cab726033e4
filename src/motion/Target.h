#pragma once

#include "link/Query.h"
#include "motion/TargetCommands.h"

#include <QObject>

namespace corvane {

class Channel;
class ReplyDispatcher;

// "#:Gr##:Gd#": the target the board holds, 14 characters awaited.
constexpr qint16 kControllerTargetKind = 98;
Query controllerTargetQuery();

// The target ("object"): the four field texts in their forms. The user's
// entries (checked when a field is left), the board's target read back, a
// catalogue record and a planet all write it; the commands send it to the
// board as it stands.
class Target : public QObject {
    Q_OBJECT
public:
    explicit Target(Channel& channel, QObject* parent = nullptr);

    // Reads the board's target replies from now on; one not in the board's
    // form never reaches the fields (the set command would carry it).
    void listenTo(ReplyDispatcher& dispatcher);

    const TargetFieldTexts& texts() const { return m_texts; }
    // Written as given; nothing is checked until the user next leaves a field.
    void write(const TargetFieldTexts& texts);

    // The commands, each run as a sequence behind any exchange under way.
    void setInMount();
    void goTo();
    void sync();
    void readBack();

signals:
    void changed();
    // The board's target as the reply box shows it (its last 15 characters).
    void controllerTargetRead(const QString& response);
    void badReply(const QString& message);

private:
    void readControllerTarget(const QString& reply);

    Channel& m_channel;
    TargetFieldTexts m_texts;
};

} // namespace corvane
