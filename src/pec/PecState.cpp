#include "pec/PecState.h"

#include "link/Channel.h"

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
    PecState state;
    for (int k = 0; k < kPecStateBytes; ++k)
        state.fields << (k < reply.size()
                             ? QStringLiteral("%1")
                                   .arg(static_cast<uchar>(reply.at(k)), 2, 16, QLatin1Char('0'))
                                   .toUpper()
                             : QString());

    const QString status = state.fields.at(kPecStatusField - 1);
    if (status.size() < 2)
        return state;
    const QString prefix = status.at(0) == QLatin1Char('8') ? QStringLiteral("PEC State OK, ")
                                                            : QStringLiteral("PEC State Not OK, ");
    switch (status.at(1).unicode()) {
    case '0':
        state.label = prefix + QStringLiteral("PEC Off ");
        break;
    case '1':
        state.label = prefix + QStringLiteral("PEC Enabled By Paddle");
        break;
    case '2':
        state.label = prefix + QStringLiteral("PEC Enabled By Serial Port");
        break;
    case '3':
        state.label = prefix + QStringLiteral("PEC Enabled By Paddle and Serial Port");
        break;
    case '4':
    case '5':
    case '6':
    case '7':
        state.label = QStringLiteral("PEC Training in Progress");
        break;
    default:
        break;
    }
    return state;
}

int pecFactorFromField(const QString& field10) {
    int factor = 0;
    for (const QChar c : field10.left(2)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        factor = factor * 10 + (c.unicode() - '0');
    }
    return factor;
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

void switchPec(Channel& channel, bool enable) {
    channel.run(Sequence(QStringLiteral("PEC switch"))
                    .then([&channel] { channel.armDispatch(); })
                    .send(QLatin1String(enable ? PecCmd::Enable : PecCmd::Disable))
                    .request(pecStateQuery()));
}

void setPecFactor(Channel& channel, const QString& itemText) {
    Sequence s(QStringLiteral("PEC factor"));
    // Whatever is waiting is discarded, and no notification is raised until
    // the state query asks for its ten bytes.
    s.then([&channel] {
        Query nothingYet = pecStateQuery();
        nothingYet.replyLength = 0;
        channel.expect(nothingYet);
        channel.flushInput();
    });
    if (const auto command = pecFactorCommand(itemText))
        s.send(*command);
    s.request(pecStateQuery());
    channel.run(std::move(s));
}

bool startPecTraining(Channel& channel, PromptAnswer answer) {
    const auto command = trainingStartCommand(answer);
    if (!command)
        return false;
    channel.run(Sequence(QStringLiteral("PEC training")).send(*command));
    return true;
}

void stopPecTraining(Channel& channel) {
    channel.run(Sequence(QStringLiteral("PEC training end"))
                    .send(QLatin1String(PecCmd::StopTraining))
                    .send(QLatin1String(PecCmd::EndTraining))
                    .request(pecStateQuery()));
}

} // namespace corvane
