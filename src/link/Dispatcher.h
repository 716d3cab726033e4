#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <functional>

namespace corvane {

// Hands each reception, as the bytes that came, to whoever decodes its kind.
// The awaited kind alone picks the decoder (the reply carries no type);
// subsystems subscribe to the kinds they read, so a new kind adds a
// subscriber and nothing else.
class ReplyDispatcher {
public:
    using Handler = std::function<void(const QByteArray& reply)>;

    // The handler is dropped when `context` is destroyed.
    void subscribe(qint16 kind, QObject* context, Handler handler);
    void dispatch(qint16 kind, const QByteArray& reply) const;

private:
    struct Subscriber {
        qint16 kind;
        QPointer<QObject> context;
        Handler handler;
    };
    // In the order of subscription.
    QVector<Subscriber> m_subscribers;
};

} // namespace corvane
