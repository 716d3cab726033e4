#include "pec/PecModel.h"

#include "common/Prompts.h"
#include "controller/ControllerInfo.h"
#include "link/BoardLine.h"
#include "pec/PecFile.h"

#include <QPointer>

namespace corvane {

PecModel::PecModel(BoardLine& line, ControllerInfo& controller, Prompts& prompts, QObject* parent)
    : QObject(parent), m_line(line), m_controller(controller), m_prompts(prompts) {
    // The read-out's answers take the line's time after the queries left:
    // its progress follows them as they arrive.
    connect(&m_line, &BoardLine::arriving, this, [this](int waiting, int) {
        if (!m_readingOut)
            return;
        m_arrived = qMax(m_arrived, waiting);
        setProgress(qBound(0, waiting - 1, kPecSteps - 1));
    });
    connect(&m_line, &BoardLine::progress, this, [this](int value, int) {
        if (m_restoring)
            setProgress(value);
    });
}

ReplyHandler PecModel::stateReply() {
    QPointer<PecModel> self(this);
    return [self](const RawReply& reply) {
        if (self && reply.ok())
            self->decodeState(reply.bytes);
    };
}

ReplyHandler PecModel::tableReply() {
    QPointer<PecModel> self(this);
    return [self](const RawReply& reply) {
        if (self && reply.ok())
            self->decodeTable(reply.bytes);
    };
}

QString PecModel::stateLabel() const {
    return m_labelled ? pecStateLabel(*m_labelled).value_or(QString()) : QString();
}

void PecModel::tell(const QString& text) {
    m_prompts.message(text, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

void PecModel::setProgress(int value) {
    m_progress = value;
    emit progressChanged(value);
}

// --- state and control -------------------------------------------------------

void PecModel::queryState() {
    m_line.request(pecStateQuery(), stateReply());
    m_labelShown = true;
    emit changed();
}

void PecModel::queryStateInTurn() {
    m_line.run(Sequence(QStringLiteral("PEC state query")).then([this] { queryState(); }));
}

void PecModel::decodeState(const QByteArray& reply) {
    m_state = decodePecState(reply);
    if (pecStateLabel(m_state))
        m_labelled = m_state;
    emit changed();
}

void PecModel::toggleEnable() {
    m_serialEnabled = !m_serialEnabled;
    switchPec(m_line, m_serialEnabled, stateReply());
    emit changed();
}

void PecModel::showFactorList() {
    m_factorListShown = true;
    emit changed();
}

void PecModel::chooseFactor(const QString& itemText) {
    m_labelled.reset();
    m_factorListShown = false;
    setPecFactor(m_line, itemText, stateReply());
    emit changed();
}

void PecModel::toggleTraining() {
    if (m_training) {
        m_training = false;
        stopPecTraining(m_line, stateReply());
        emit changed();
        return;
    }
    const TrainingPrompt prompt = trainingPrompt(m_controller.version().pecTouchUp);
    const PromptAnswer answer =
        m_prompts.message(prompt.text, prompt.title, prompt.icon, prompt.buttons);
    if (!startPecTraining(m_line, answer))
        return;
    m_training = true;
    clearTable();
    emit changed();
}

// --- the table ---------------------------------------------------------------

void PecModel::clearTable() {
    m_table = PecTable();
    m_tableOffered = false;
    m_restoredText.clear();
    emit tableChanged();
}

// Refused beside another long exchange, before anything in view changes: the
// table and progress of a read-out or restore under way stay as they are.
bool PecModel::refusedForLongExchange() {
    if (!m_line.refusesExclusive())
        return false;
    tellBusy();
    return true;
}

void PecModel::tellBusy() {
    tell(QStringLiteral("Another exchange with the controller is running; "
                        "try again when it has finished."));
}

bool PecModel::runExclusive(Sequence sequence, bool straightAfter) {
    if (straightAfter ? m_line.follow(std::move(sequence)) : m_line.run(std::move(sequence)))
        return true;
    m_readingOut = m_restoring = false;
    tellBusy();
    emit changed();
    return false;
}

void PecModel::readOut() {
    if (refusedForLongExchange())
        return;
    Sequence readout = pecReadoutSequence(m_line, tableReply());
    readout.onEnd([this](SequenceResult r) { readoutEnded(r); });
    // Nothing stale stays in view while the table comes in.
    clearTable();
    setProgress(0);
    m_arrived = 0;
    m_readingOut = true;
    emit changed();
    runExclusive(std::move(readout));
}

void PecModel::decodeTable(const QByteArray& reply) {
    m_table = decodePecTable(QString::fromLatin1(reply), factor());
    emit tableChanged();
}

void PecModel::readoutEnded(SequenceResult result) {
    m_readingOut = false;
    const bool complete = result == SequenceResult::Done && m_table.isComplete();
    m_tableOffered = complete;
    emit changed();
    if (complete) {
        setProgress(kPecSteps - 1);
        emit tableChanged();
        return;
    }
    if (result == SequenceResult::TimedOut) {
        m_table = PecTable();
        emit tableChanged();
        tell(QStringLiteral("The PEC table read-out stopped short: %1 of %2 steps arrived.")
                 .arg(m_arrived)
                 .arg(kPecSteps));
    } else if (result == SequenceResult::Done && m_table.rows.isEmpty()) {
        tell(QStringLiteral("The PEC table read-out decoded no step: the board's answer was "
                            "not a table."));
    } else if (result == SequenceResult::Done) {
        tell(QStringLiteral("The PEC table holds no code for step %1; it is shown only as "
                            "far as it could be read.")
                 .arg(m_table.rows.size()));
    }
}

void PecModel::saveTable() {
    const QString path = withCsvExtension(m_prompts.saveFileName(pecFileFilter()));
    if (path.isEmpty())
        return;
    QString error;
    // Written from the table itself, with its CR LF line ends.
    if (!writePecCsv(path, pecCsvText(m_table), &error))
        tell(error);
}

// The whole file is read and checked before anything goes out: a damaged
// file never leaves half a table in the board.
void PecModel::restore() {
    if (refusedForLongExchange())
        return;
    setProgress(0);
    clearTable();
    const QString path = withCsvExtension(m_prompts.openFileName(pecFileFilter()));
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<RestorePlan> plan = readRestoreFile(path, &error);
    if (!plan) {
        tell(error);
        return;
    }
    write(*plan);
}

void PecModel::write(const RestorePlan& plan, bool straightAfter) {
    if (!straightAfter && refusedForLongExchange())
        return;
    Sequence restore = pecRestoreSequence(m_line, plan, stateReply());
    restore.onEnd([this, plan](SequenceResult r) {
        if (r == SequenceResult::Done) {
            m_restoredText = plan.echoText;
            emit tableChanged();
        }
        m_cutRestore.reset();
        if (r == SequenceResult::PortLost)
            m_cutRestore = plan;
        restoreEnded(r);
    });
    m_restoring = true;
    emit changed();
    runExclusive(std::move(restore), straightAfter);
}

// Called at the end of the greeting that found the board back: the table goes
// out before the polling the reconnection resumes (an exclusive exchange
// would otherwise be refused while the greeting ends).
void PecModel::offerRestoreAgain() {
    if (!m_cutRestore)
        return;
    const RestorePlan plan = *m_cutRestore;
    m_cutRestore.reset();
    if (m_prompts.message(QStringLiteral("The board is back. It may hold part of the PEC table "
                                         "that was being written when the line was lost. Write "
                                         "the whole table again now?"),
                          applicationTitle(), PromptIcon::Warning,
                          PromptButtons::OkCancel) == PromptAnswer::Ok)
        write(plan, true);
}

void PecModel::restoreEnded(SequenceResult result) {
    m_restoring = false;
    emit changed();
    if (result == SequenceResult::PortLost)
        tell(QStringLiteral("The line was lost during the PEC restore: the board may hold "
                            "part of the new table. The restore is offered again once the "
                            "board is back."));
    else if (result == SequenceResult::Cancelled && !m_line.isOpen())
        tell(QStringLiteral("The port is not open: nothing was written to the board."));
}

} // namespace corvane
