#include "pec/PecState.h"

#include "link/BoardLine.h"

namespace corvane {

Query pecStateQuery() {
    Query q;
    q.name = QStringLiteral("PEC state query");
    q.command = QStringLiteral("#:VS#");
    q.replyLength = kPecStateBytes;
    q.form = ReplyForm::Raw;
    q.awaitedKind = kPecStateKind;
    return q;
}

PecState decodePecState(const QByteArray& reply) {
    return PecState{reply};
}

std::optional<quint8> PecState::field(int n) const {
    if (n < 1 || n > kPecStateBytes || n > bytes.size())
        return std::nullopt;
    return static_cast<quint8>(bytes.at(n - 1));
}

bool PecState::isTableGood() const {
    const auto status = field(kPecStatusField);
    return status && (*status >> 4) == 8;
}

std::optional<int> PecState::mode() const {
    const auto status = field(kPecStatusField);
    if (!status)
        return std::nullopt;
    return *status & 0x0F;
}

int PecState::factor() const {
    const auto byte = field(kPecFactorField);
    if (!byte)
        return 0;
    const int high = *byte >> 4;
    const int low = *byte & 0x0F;
    if (high > 9)
        return 0;
    return low > 9 ? high : high * 10 + low;
}

std::optional<QString> pecStateLabel(const PecState& state) {
    const std::optional<int> mode = state.mode();
    if (!mode)
        return std::nullopt;
    const QString prefix = state.isTableGood() ? QStringLiteral("PEC State OK, ")
                                               : QStringLiteral("PEC State Not OK, ");
    switch (*mode) {
    case 0:
        return prefix + QStringLiteral("PEC Off ");
    case 1:
        return prefix + QStringLiteral("PEC Enabled By Paddle");
    case 2:
        return prefix + QStringLiteral("PEC Enabled By Serial Port");
    case 3:
        return prefix + QStringLiteral("PEC Enabled By Paddle and Serial Port");
    case 4:
    case 5:
    case 6:
    case 7:
        return QStringLiteral("PEC Training in Progress");
    default:
        return std::nullopt;
    }
}

std::optional<QString> pecFactorCommand(const QString& itemText) {
    if (itemText.size() != 1 || itemText.at(0) < QLatin1Char('1') ||
        itemText.at(0) > QLatin1Char('9'))
        return std::nullopt;
    return QLatin1Char('#') + itemText + QLatin1Char('p');
}

TrainingPrompt trainingPrompt(bool touchUp) {
    if (touchUp)
        return {QStringLiteral("Press Yes to clear the current PEC Table\r\n"
                               "Press No to Touch UP the current PEC table\r\n"
                               "Or Press Cancel to Exit PEC Training"),
                QStringLiteral("Warning"), PromptIcon::Error, PromptButtons::YesNoCancel};
    return {QStringLiteral("This will clear your current PEC table"), QStringLiteral("Warning"),
            PromptIcon::Error, PromptButtons::OkCancel};
}

std::optional<QString> trainingStartCommand(PromptAnswer answer) {
    switch (answer) {
    case PromptAnswer::Yes:
    case PromptAnswer::Ok:
        return QLatin1String(PecCmd::TrainClear);
    case PromptAnswer::No:
        return QLatin1String(PecCmd::TrainTouchUp);
    case PromptAnswer::Cancel:
        break;
    }
    return std::nullopt;
}

void switchPec(BoardLine& line, bool enable, ReplyHandler stateRead) {
    line.run(Sequence(QStringLiteral("PEC switch"))
                 .send(QLatin1String(enable ? PecCmd::Enable : PecCmd::Disable))
                 .request(pecStateQuery(), std::move(stateRead)));
}

void setPecFactor(BoardLine& line, const QString& itemText, ReplyHandler stateRead) {
    Sequence s(QStringLiteral("PEC factor"));
    // Whatever is waiting is discarded, and no notification is raised until
    // the state query asks for its ten bytes.
    s.then([&line] {
        Query nothingYet = pecStateQuery();
        nothingYet.replyLength = 0;
        line.expect(nothingYet);
        line.flushInput();
    });
    if (const auto command = pecFactorCommand(itemText))
        s.send(*command);
    s.request(pecStateQuery(), std::move(stateRead));
    line.run(std::move(s));
}

bool startPecTraining(BoardLine& line, PromptAnswer answer) {
    const auto command = trainingStartCommand(answer);
    if (!command)
        return false;
    line.run(Sequence(QStringLiteral("PEC training")).send(*command));
    return true;
}

void stopPecTraining(BoardLine& line, ReplyHandler stateRead) {
    line.run(Sequence(QStringLiteral("PEC training end"))
                 .send(QLatin1String(PecCmd::StopTraining))
                 .send(QLatin1String(PecCmd::EndTraining))
                 .request(pecStateQuery(), std::move(stateRead)));
}

} // namespace corvane
