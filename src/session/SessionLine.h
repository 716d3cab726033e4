#pragma once

#include "link/BoardLine.h"

namespace corvane {

class Channel;

// The session's door, on its channel: exchanges go to the channel's runner,
// which keeps them in turn; the rest is the channel's own.
class SessionLine : public BoardLine {
    Q_OBJECT
public:
    explicit SessionLine(Channel& channel, QObject* parent = nullptr);

    bool isOpen() const override;
    Clock& clock() const override;
    bool run(Sequence sequence) override;
    bool follow(Sequence sequence) override;
    void stop(const QString& command, const QString& cause) override;
    void cancelAll() override;
    bool isBusy() const override;
    bool refusesExclusive() const override;
    bool isRunningExclusive() const override;
    bool isRunningProtected() const override;
    QString runningName() const override;
    void send(const QString& command) override;
    void request(const Query& query, ReplyHandler handler = {}) override;
    void expect(const Query& query, ReplyHandler handler = {}) override;
    void expectManualCommand() override;
    void flushInput() override;
    void setAwaitedCount(int n) override;
    bool isAwaitingReply() const override;
    bool isCollecting() const override;
    bool isRequestArmed() const override;
    bool isLineBusy() const override;
    bool lastRequestTimedOut() const override;

private:
    Channel& m_channel;
};

} // namespace corvane
