#include "share/Lx200Board.h"

#include "controller/Commands.h"
#include "link/Query.h"
#include "motion/Focus.h"
#include "motion/MountPosition.h"
#include "motion/PositionReplies.h"
#include "motion/TargetCommands.h"

namespace corvane {

namespace {

int rateIndex(SlewRate rate) {
    switch (rate) {
    case SlewRate::Guide:
        return 0;
    case SlewRate::Centering:
    case SlewRate::Find:
        return 1;
    case SlewRate::Slew:
        break;
    }
    return 2;
}

bool isPrintableText(const QByteArray& text) {
    for (const char c : text) {
        if (c < ' ' || c > '~')
            return false;
    }
    return true;
}

// A sync answer: printable text ending in its only "#".
bool isSyncReply(const QByteArray& reply) {
    return reply.size() <= BoardReplyForm::kLongestTextReply && reply.endsWith('#') &&
           reply.count('#') == 1 && isPrintableText(reply);
}

// A declination reply no further than the pole ("+90*30#" is damaged).
bool isDeclinationAnswer(const QByteArray& reply) {
    return isDeclinationReply(QString::fromLatin1(reply)) &&
           (reply.mid(1, 2) != "90" || reply.mid(4, 2) == "00");
}

} // namespace

QString boardCommand(const Lx200Request& r) {
    const MoveButtonInfo& move = moveButtonInfo(r.direction);
    switch (r.kind) {
    case Lx200Kind::GetRa:
        return rightAscensionQuery().command;
    case Lx200Kind::GetDec:
        return declinationQuery().command;
    case Lx200Kind::GetTargetRa:
        return QStringLiteral("#:Gr#");
    case Lx200Kind::GetTargetDec:
        return QStringLiteral("#:Gd#");
    case Lx200Kind::SetTargetRa:
        return setRACommand(r.ra);
    case Lx200Kind::SetTargetDec:
        return setDECCommand(r.dec);
    case Lx200Kind::Goto:
        return QLatin1String(TargetCmd::GotoTarget);
    case Lx200Kind::Sync:
        return QLatin1String(TargetCmd::SyncOnTarget);
    case Lx200Kind::StopAll:
        return QLatin1String(kStopAllCommand);
    case Lx200Kind::Stop:
        return QLatin1String(move.stop);
    case Lx200Kind::Move:
        return QLatin1String(move.stopOpposite) + QLatin1String(move.start);
    case Lx200Kind::Pulse:
        return pulseCommand(r.direction, r.pulseMs);
    case Lx200Kind::SetRate:
        return rateCommand(rateIndex(r.rate));
    case Lx200Kind::FocusIn:
        return QLatin1String(FocusCmd::In);
    case Lx200Kind::FocusOut:
        return QLatin1String(FocusCmd::Out);
    case Lx200Kind::FocusStop:
        return QLatin1String(FocusCmd::Stop);
    case Lx200Kind::FocusFast:
        return QLatin1String(FocusCmd::Fast);
    case Lx200Kind::FocusSlow:
        return QLatin1String(FocusCmd::Slow);
    default:
        return QString();
    }
}

BoardReplyForm boardReplyForm(const Lx200Request& r) {
    BoardReplyForm form;
    switch (r.kind) {
    case Lx200Kind::SetTargetRa:
    case Lx200Kind::SetTargetDec:
    case Lx200Kind::Goto:
        form.length = 1;
        break;
    case Lx200Kind::GetRa:
    case Lx200Kind::GetTargetRa:
        form.length = 8;
        break;
    case Lx200Kind::GetDec:
    case Lx200Kind::GetTargetDec:
        form.length = 7;
        break;
    case Lx200Kind::Sync:
        form.upToHash = true;
        break;
    default:
        break;
    }
    return form;
}

std::optional<QByteArray> clientAnswerFromBoard(const Lx200Request& r,
                                                const std::optional<QByteArray>& boardReply) {
    const QByteArray reply = boardReply.value_or(QByteArray());
    switch (r.kind) {
    case Lx200Kind::SetTargetRa:
    case Lx200Kind::SetTargetDec:
        return QByteArray(reply == "1" ? "1" : "0");
    case Lx200Kind::Goto:
        return reply == "0" ? QByteArray("0") : QByteArray("1Goto refused by the mount#");
    case Lx200Kind::Sync:
        return isSyncReply(reply) ? reply : QByteArray("Sync failed#");
    case Lx200Kind::GetRa:
    case Lx200Kind::GetTargetRa:
        if (isRightAscensionReply(QString::fromLatin1(reply)))
            return reply;
        return std::nullopt;
    case Lx200Kind::GetDec:
    case Lx200Kind::GetTargetDec:
        if (isDeclinationAnswer(reply))
            return reply;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace corvane
