#pragma once

#include "controller/Firmware.h"
#include "link/Query.h"
#include "link/Reply.h"

#include <QObject>

namespace corvane {

// The version query: "#:GV#", ten characters of text.
constexpr qint16 kVersionKind = 0;
constexpr int kVersionReplyLength = 10;
Query versionQuery();

// What the controller said about itself in its version reply: the one place
// that holds the firmware description. Views read it and follow changed().
class ControllerInfo : public QObject {
    Q_OBJECT
public:
    explicit ControllerInfo(QObject* parent = nullptr) : QObject(parent) {}

    // The handler a version query's reply goes to: it is read here, and
    // `then` (if any) gets the version read, or why there is none.
    ReplyHandler versionReply(std::function<void(const Answer<VersionInfo>&)> then = {});
    // Reads the version from the first reply of a reception (one reception
    // may hold several, the question asked again while an answer was on its
    // way) and keeps that reply alone.
    void applyVersionReply(const QString& reception);
    // A port was opened: whatever answered before may not be there now.
    void forget();

    const VersionInfo& version() const { return m_info; }
    float firmwareVersion() const { return m_info.version; }
    // The reply as received, empty before one (or after forget()).
    const QString& reply() const { return m_reply; }

signals:
    void changed();

private:
    VersionInfo m_info;
    QString m_reply;
};

} // namespace corvane
