#pragma once

#include "pec/PecFile.h"
#include "pec/PecState.h"
#include "pec/PecTable.h"

#include <QObject>
#include <optional>

namespace corvane {

class BoardLine;
class ControllerInfo;
class Prompts;

// The PEC page's state: the board's last PEC state (its fields, and the last
// one that could be put in words), what this program switched (PEC replay, training;
// the board does not report them), the table of the last read-out, and the
// read-out's or restore's progress. Reading, saving and restoring tables go
// through it.
class PecModel : public QObject {
    Q_OBJECT
public:
    PecModel(BoardLine& line, ControllerInfo& controller, Prompts& prompts,
             QObject* parent = nullptr);

    // The handler a PEC state query's reply goes to: read here (also for a
    // restore made elsewhere, from a mount backup).
    ReplyHandler stateReply();

    const PecState& state() const { return m_state; }
    // The state in words: that of the last state the program knew how to
    // say, "" after a factor was chosen. Shown from the first state query on.
    QString stateLabel() const;
    bool isLabelShown() const { return m_labelShown; }
    int factor() const { return m_state.factor(); }
    bool serialEnabled() const { return m_serialEnabled; }
    bool isTraining() const { return m_training; }
    bool isFactorListShown() const { return m_factorListShown; }
    const PecTable& table() const { return m_table; }
    // Saving and charting are offered for a whole table only.
    bool isTableOffered() const { return m_tableOffered; }
    bool isBusy() const { return m_readingOut || m_restoring; }
    int progress() const { return m_progress; }
    // The restore's text: the factor and each code written, one a line.
    const QString& restoredText() const { return m_restoredText; }

    // The PEC tab shown: the state asked for now (within the tab's exchange).
    void queryState();
    // "Get PEC State": the same, behind any exchange under way.
    void queryStateInTurn();
    void toggleEnable();
    void showFactorList();
    void chooseFactor(const QString& itemText);
    void toggleTraining();
    void readOut();
    void saveTable();
    void restore();
    // The board is back after the line was lost during a restore: the user
    // is asked whether to write the table again.
    void offerRestoreAgain();

signals:
    void changed();
    void progressChanged(int value);
    void tableChanged();

private:
    ReplyHandler tableReply();
    void decodeState(const QByteArray& reply);
    void decodeTable(const QByteArray& reply);
    void readoutEnded(SequenceResult result);
    void restoreEnded(SequenceResult result);
    // `straightAfter`: ahead of anything queued meanwhile, when called from the
    // end of the exchange now finishing (the greeting of a board come back).
    void write(const RestorePlan& plan, bool straightAfter = false);
    void clearTable();
    void setProgress(int value);
    void tell(const QString& text);
    void tellBusy();
    bool refusedForLongExchange();
    bool runExclusive(Sequence sequence, bool straightAfter = false);

    BoardLine& m_line;
    ControllerInfo& m_controller;
    Prompts& m_prompts;
    PecState m_state;
    std::optional<PecState> m_labelled;
    bool m_labelShown = false;
    bool m_serialEnabled = false;
    bool m_training = false;
    bool m_factorListShown = false;
    PecTable m_table;
    bool m_tableOffered = false;
    QString m_restoredText;
    // The table of a restore the line's loss cut short.
    std::optional<RestorePlan> m_cutRestore;
    // Characters of the read-out that arrived, for its progress and its
    // message when it stops short.
    int m_arrived = 0;
    int m_progress = 0;
    bool m_readingOut = false;
    bool m_restoring = false;
};

} // namespace corvane
