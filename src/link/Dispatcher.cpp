#include "link/Dispatcher.h"

namespace corvane {

void ReplyDispatcher::subscribe(qint16 kind, QObject* context, Handler handler) {
    m_subscribers.append({kind, QPointer<QObject>(context), std::move(handler)});
}

void ReplyDispatcher::dispatch(qint16 kind, const QByteArray& reply) const {
    // A copy: a handler may subscribe or be destroyed while it runs.
    const QVector<Subscriber> subscribers = m_subscribers;
    for (const Subscriber& s : subscribers) {
        if (s.kind == kind && s.context)
            s.handler(reply);
    }
}

} // namespace corvane
