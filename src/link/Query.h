#pragma once

#include <QString>

namespace corvane {

// How a reply is shown in the reply box: as text, or byte by byte as two
// hex digits and a blank (the settings dump and the PEC state are raw
// bytes). Whoever reads a reply always gets its bytes.
enum class ReplyForm { Text, Raw };

// What the program does with a reply. A reply it reads goes to the handler
// its request carries, and one that does not come in time is reported. An
// answer it only lets go (a set command's "1" or "0") is awaited briefly so
// that it cannot meet the next request on the line; nothing reads it, and a
// board that stays silent is no fault.
enum class Reading { Read, LetGo };

// The protocol's codes for what is awaited: the channel keeps these; each
// subsystem declares the codes of its replies beside its queries. They are
// bookkeeping only: a reply goes to its request's handler, whatever its code.
namespace AwaitedKind {
constexpr qint16 None = -1;             // no code of its own (nothing awaited, a client's reply)
constexpr qint16 Acknowledgement = 999; // an answer only let go; nothing decodes it
constexpr qint16 ManualCommand = 1000;  // the raw terminal's reception
} // namespace AwaitedKind

// A request and the reply it awaits, declared once by the subsystem whose
// reply it is: the command, how many characters come back and in which form,
// whether the program reads them or lets them go, and the protocol's code.
struct Query {
    QString name;    // "position query": what a time-out or a bad reply names
    QString command; // sent as it stands; empty when the caller sends its own
    int replyLength = 0;
    ReplyForm form = ReplyForm::Text;
    Reading reading = Reading::Read;
    qint16 awaitedKind = AwaitedKind::None;
    // The answers to several commands are collected as one reply (the PEC
    // read-out): the sends made meanwhile do not flush the answers already in.
    bool collects = false;
    // A text of no fixed length, ended by its "#" (a sync's "Synced#"): when
    // above 0, the reply is read up to and with its "#", at most this many
    // characters, however its characters are split on the way (a network
    // line may bring them in several packets); replyLength is then 1, so its
    // reception begins with its first character.
    int upToHashAtMost = 0;
};

// An answer of `characters` that is only let go, under the acknowledgement
// kind: awaited briefly, read by nothing.
Query letGoQuery(const QString& name, int characters, const QString& command = {});

// How long a reply may take: its characters and the command's at 9600 baud
// (960 a second) plus a margin, 1000 ms for a reply that is read, 200 ms for
// an answer that is let go.
constexpr int kReplyMarginMs = 1000;
constexpr int kLetGoMarginMs = 200;
int lineTimeMs(int charactersSent, int charactersAwaited);
int replyDeadlineMs(Reading reading, int charactersSent, int charactersAwaited);

// "No reply to the position query", "Bad reply to the position query".
QString noReplyMessage(const QString& queryName);
QString badReplyMessage(const QString& queryName);

} // namespace corvane
