#pragma once

#include <QByteArray>
#include <functional>
#include <optional>
#include <utility>

namespace corvane {

// Why a request has no reply to give: it did not come in time, it came in a
// form its reader refused, or the request ended before it could come (the
// line went, a later request flushed it away).
enum class ReplyFailure { None, NoReply, BadReply, Cancelled };

// What a request hands to whoever asked: the reply's bytes, or why there
// are none. A request carries its handler; no one else hears its reply.
struct RawReply {
    QByteArray bytes;
    ReplyFailure failure = ReplyFailure::None;
    bool ok() const { return failure == ReplyFailure::None; }
};
using ReplyHandler = std::function<void(const RawReply& reply)>;

// A reply decoded into what it says (a position, a settings dump, a PEC
// state, a version), or the failure.
template <class T> struct Answer {
    std::optional<T> value;
    ReplyFailure failure = ReplyFailure::None;
    bool ok() const { return value.has_value(); }
};

// A handler that decodes the reply with `decode` (nothing: a bad reply) and
// hands the answer to `use`.
template <class T>
ReplyHandler decodedBy(std::function<std::optional<T>(const QByteArray&)> decode,
                       std::function<void(const Answer<T>&)> use) {
    return [decode = std::move(decode), use = std::move(use)](const RawReply& reply) {
        Answer<T> answer;
        if (!reply.ok())
            answer.failure = reply.failure;
        else if (!(answer.value = decode(reply.bytes)))
            answer.failure = ReplyFailure::BadReply;
        use(answer);
    };
}

} // namespace corvane
