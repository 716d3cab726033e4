#pragma once

#include <QByteArray>
#include <QVector>
#include <optional>

namespace corvane::sim {

// One command as the board recognised it in the byte stream.
//
// Forms:
//   Colon   "#:GR#", ":GR#" (plain LX200), "#<:VX#", "#7:VR#", "#0:XR1#", "#:XYR"
//   Letter  "#120g", "#-1T#", "#<-G", "#>1R", "#W" (empty number), "#7p"
//   Single  "Y" (store), "F" (find), ACK 0x06 (LX200 alignment query)
struct BoardCommand {
    enum class Form { Colon, Letter, Single };

    Form form = Form::Single;
    bool hashed = false; // began with the start character "#"
    char angle = 0;      // '<' or '>' right after the "#", 0 when absent
    QByteArray number;   // sign and digits before the letter or colon ("-1", "120", "-", "")
    char letter = 0;     // final letter of a Letter command, the byte of a Single one
    QByteArray body;     // Colon command between ':' and the closing '#' ("GR", "Sr 05:34.5")
    QByteArray raw;      // the bytes that made up the command
};

// Cuts the board's input stream into commands, one byte at a time, as the
// board's receive loop does. Commands arrive with no separators, several to a
// write, some with and some without a closing "#":
//  - "#" opens a frame; a "#" that cannot open one (followed by "#", "Y", "F"
//    or any byte that starts no command) was a closing mark and is dropped;
//  - a colon command runs to its closing "#", except ":XYR", which is
//    complete without one;
//  - a letter command ends with its letter; a "#" after it is left to the
//    rule above, so "#7p#" and "#7p" followed by "#:VS#" both read right;
//  - "Y" and "F" stand alone; bytes that start nothing are skipped.
class CommandTokenizer {
public:
    // Feeds one byte; returns the command that this byte completed.
    std::optional<BoardCommand> feed(char byte);
    // Feeds several bytes; returns every command completed, in order.
    QVector<BoardCommand> feed(const QByteArray& bytes);

    // Bytes skipped because they started or continued no command.
    int skippedBytes() const { return m_skipped; }
    // Forgets a half-received frame.
    void reset();

private:
    enum class State { Idle, AfterHash, Number, Colon };

    std::optional<BoardCommand> feedIdle(char byte);
    std::optional<BoardCommand> feedAfterHash(char byte);
    std::optional<BoardCommand> feedNumber(char byte);
    std::optional<BoardCommand> feedColon(char byte);
    std::optional<BoardCommand> abandonAndRetry(char byte);
    std::optional<BoardCommand> finish(BoardCommand::Form form);
    void startFrame(bool hashed);

    State m_state = State::Idle;
    BoardCommand m_current;
    int m_skipped = 0;
};

} // namespace corvane::sim
