#include "sim/CommandTokenizer.h"

namespace corvane::sim {

namespace {

constexpr int kMaxNumberLength = 10;
constexpr int kMaxColonBody = 40;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Letters of the numeric settings whose text box may be empty ("#W", "#g").
bool takesEmptyNumber(char c) {
    return c == 'g' || c == 'd' || c == 'W' || c == 'w' || c == 'B' || c == 'b';
}

// "Y" and "F" are commands of their own and never end a numbered one.
bool endsNumber(char c) {
    return isLetter(c) && c != 'Y' && c != 'F';
}

} // namespace

std::optional<BoardCommand> CommandTokenizer::feed(char byte) {
    switch (m_state) {
    case State::Idle:
        return feedIdle(byte);
    case State::AfterHash:
        return feedAfterHash(byte);
    case State::Number:
        return feedNumber(byte);
    case State::Colon:
        return feedColon(byte);
    }
    return std::nullopt;
}

QVector<BoardCommand> CommandTokenizer::feed(const QByteArray& bytes) {
    QVector<BoardCommand> out;
    for (const char c : bytes) {
        if (auto command = feed(c))
            out.append(*command);
    }
    return out;
}

void CommandTokenizer::reset() {
    m_state = State::Idle;
    m_current = BoardCommand();
}

void CommandTokenizer::startFrame(bool hashed) {
    m_current = BoardCommand();
    m_current.hashed = hashed;
    m_current.raw = hashed ? QByteArray("#") : QByteArray(":");
    m_state = hashed ? State::AfterHash : State::Colon;
}

std::optional<BoardCommand> CommandTokenizer::feedIdle(char byte) {
    if (byte == '#' || byte == ':') {
        startFrame(byte == '#');
        return std::nullopt;
    }
    if (byte == 'Y' || byte == 'F' || byte == '\x06') {
        m_current = BoardCommand();
        m_current.letter = byte;
        m_current.raw = QByteArray(1, byte);
        return finish(BoardCommand::Form::Single);
    }
    ++m_skipped;
    return std::nullopt;
}

std::optional<BoardCommand> CommandTokenizer::feedAfterHash(char byte) {
    if (byte == '#') {
        // The "#" before was the optional closing mark of the last command.
        startFrame(true);
        return std::nullopt;
    }
    m_current.raw += byte;
    if (byte == ':') {
        m_state = State::Colon;
        return std::nullopt;
    }
    if (byte == '<' || byte == '>') {
        m_current.angle = byte;
        m_state = State::Number;
        return std::nullopt;
    }
    if (isDigit(byte) || byte == '-' || byte == '+') {
        m_current.number += byte;
        m_state = State::Number;
        return std::nullopt;
    }
    if (takesEmptyNumber(byte)) {
        m_current.letter = byte;
        return finish(BoardCommand::Form::Letter);
    }
    // A closing "#" followed by a command that needs no "#" ("Y", "F") or
    // by a byte that starts nothing: drop the mark, read the byte afresh.
    m_state = State::Idle;
    return feedIdle(byte);
}

std::optional<BoardCommand> CommandTokenizer::feedNumber(char byte) {
    const bool signFirst = m_current.number.isEmpty() && (byte == '-' || byte == '+');
    if (isDigit(byte) || byte == '.' || signFirst) {
        m_current.raw += byte;
        m_current.number += byte;
        if (m_current.number.size() > kMaxNumberLength) {
            m_skipped += static_cast<int>(m_current.raw.size());
            reset();
        }
        return std::nullopt;
    }
    if (byte == ':') {
        m_current.raw += byte;
        m_state = State::Colon;
        return std::nullopt;
    }
    if (endsNumber(byte)) {
        m_current.raw += byte;
        m_current.letter = byte;
        return finish(BoardCommand::Form::Letter);
    }
    return abandonAndRetry(byte);
}

std::optional<BoardCommand> CommandTokenizer::feedColon(char byte) {
    m_current.raw += byte;
    if (byte == '#')
        return finish(BoardCommand::Form::Colon);
    m_current.body += byte;
    // The end of PEC training is sent without its closing "#".
    if (m_current.body == "XYR" && m_current.angle == 0 && m_current.number.isEmpty())
        return finish(BoardCommand::Form::Colon);
    if (m_current.body.size() > kMaxColonBody) {
        m_skipped += static_cast<int>(m_current.raw.size());
        reset();
    }
    return std::nullopt;
}

std::optional<BoardCommand> CommandTokenizer::abandonAndRetry(char byte) {
    // The half frame was noise; the byte that broke it may start the next.
    m_skipped += static_cast<int>(m_current.raw.size());
    reset();
    return feedIdle(byte);
}

std::optional<BoardCommand> CommandTokenizer::finish(BoardCommand::Form form) {
    BoardCommand done = m_current;
    done.form = form;
    reset();
    return done;
}

} // namespace corvane::sim
