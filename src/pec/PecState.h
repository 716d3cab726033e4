#pragma once

#include "common/Prompts.h"
#include "link/Query.h"
#include "link/Reply.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace corvane {

class BoardLine;

// "#:VS#": the PEC state, ten raw bytes.
constexpr qint16 kPecStateKind = 4;
Query pecStateQuery();

// The controller's PEC state: a reply of ten bytes. Byte 6 is the status: its
// high nibble 8 means the table is good, its low nibble is the PEC mode.
// Byte 10 is the PEC factor.
constexpr int kPecStateBytes = 10;
constexpr int kPecStatusField = 6; // 1-based, as the bytes are numbered
constexpr int kPecFactorField = 10;

struct PecState {
    // The reply as the board sent it; fewer than ten bytes when it was cut short.
    QByteArray bytes;

    // Byte n (1-based), or nullopt where the reply is short.
    std::optional<quint8> field(int n) const;
    bool isTableGood() const;
    // The PEC mode (0..15), or nullopt where the reply is short.
    std::optional<int> mode() const;
    // The PEC factor as the table view reads it: the byte's two hex digits
    // taken as a decimal number as far as they are decimal digits (0x05 -> 5,
    // 0x12 -> 12, 0x1A -> 1, 0x0A or 0xA5 -> 0); 0 where the reply is short.
    int factor() const;
};

PecState decodePecState(const QByteArray& reply);

// The state in words, or nullopt when the reply is short or the mode is not
// one the program knows: the label then keeps what it showed.
std::optional<QString> pecStateLabel(const PecState& state);

namespace PecCmd {
inline const char* const Enable = "#1P";
inline const char* const Disable = "#0P";
inline const char* const TrainClear = "#-1P";   // clear the table and train
inline const char* const TrainTouchUp = "#-2P"; // train over the current table
inline const char* const StopTraining = "#-0P";
// Ends training; the board takes it without a closing "#".
inline const char* const EndTraining = "#:XYR";
} // namespace PecCmd

// "#1p" .. "#9p" for the list items "1" .. "9"; any other text: nothing.
std::optional<QString> pecFactorCommand(const QString& itemText);

// The question asked before training starts. Firmware that can touch up the
// table asks Yes (clear), No (touch up) or Cancel; older firmware OK/Cancel.
struct TrainingPrompt {
    QString text;
    QString title;
    PromptIcon icon;
    PromptButtons buttons;
};
TrainingPrompt trainingPrompt(bool touchUp);
// The command for the answer: Yes or OK "#-1P", No "#-2P", Cancel nothing.
std::optional<QString> trainingStartCommand(PromptAnswer answer);

// Each of these runs as one sequence on the line, behind any exchange that
// is running; nothing waits between their commands.

// "#1P" or "#0P", then the state query. Arms the dispatcher, so the state
// reply is decoded even after a raw terminal command.
void switchPec(BoardLine& line, bool enable, ReplyHandler stateRead);
// Discards waiting input, sends the factor for a list item "1" .. "9"
// (nothing for other text), then asks for the state.
void setPecFactor(BoardLine& line, const QString& itemText, ReplyHandler stateRead);
// Starts training as the answer to trainingPrompt() says; no reply is asked
// for. False, and nothing sent, for Cancel.
bool startPecTraining(BoardLine& line, PromptAnswer answer);
// "#-0P", "#:XYR", then the state query.
void stopPecTraining(BoardLine& line, ReplyHandler stateRead);

} // namespace corvane
