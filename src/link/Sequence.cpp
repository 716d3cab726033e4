#include "link/Sequence.h"

namespace corvane {

Sequence::Step& Sequence::add(StepKind kind) {
    m_steps.append(Step());
    m_steps.last().kind = kind;
    return m_steps.last();
}

Sequence& Sequence::send(const QString& command) {
    add(StepKind::Send).command = command;
    return *this;
}

Sequence& Sequence::request(const Query& query, ReplyHandler handler) {
    Step& step = add(StepKind::Request);
    step.query = query;
    step.handler = std::move(handler);
    return *this;
}

Sequence& Sequence::pause(int ms) {
    add(StepKind::Pause).value = ms;
    return *this;
}

Sequence& Sequence::then(std::function<void()> action) {
    add(StepKind::Action).action = std::move(action);
    return *this;
}

Sequence& Sequence::ask(std::function<bool()> question) {
    add(StepKind::Ask).question = std::move(question);
    return *this;
}

Sequence& Sequence::awaitReply() {
    add(StepKind::AwaitReply);
    return *this;
}

Sequence& Sequence::report(int value, int total) {
    Step& s = add(StepKind::Report);
    s.value = value;
    s.total = total;
    return *this;
}

Sequence& Sequence::onEnd(std::function<void(SequenceResult)> done) {
    m_done = std::move(done);
    return *this;
}

Sequence& Sequence::protect() {
    m_protected = true;
    return *this;
}

Sequence& Sequence::exclusive() {
    m_exclusive = true;
    return *this;
}

} // namespace corvane
