#include "motion/ui/FocusPanel.h"

#include "common/Prompts.h"
#include "common/ui/Widgets.h"
#include "motion/Motion.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace corvane {

FocusPanel::FocusPanel(PanelContext ctx, QWidget* parent)
    : QGroupBox(QStringLiteral("Focus"), parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("FocusFrame"));
    setToolTip(QStringLiteral("Focus Functions"));

    FastFocus = new QCheckBox(QStringLiteral("Fast"), this);
    FastFocus->setObjectName(QStringLiteral("FastFocus"));
    PulseFocus = new QCheckBox(QStringLiteral("Pulse"), this);
    PulseFocus->setObjectName(QStringLiteral("PulseFocus"));
    FocusPulsetxt = new QLineEdit(this);
    FocusPulsetxt->setObjectName(QStringLiteral("FocusPulsetxt"));
    FocusPulsetxt->setPlaceholderText(QStringLiteral("mSec"));
    FocusPulsetxt->setMaximumWidth(80);
    cmdFocusIn = makeButton(QStringLiteral("cmdFocusIn"), QStringLiteral("Focus IN"),
                            QStringLiteral("Selects the Focus In Function"), this);
    cmdFocusOut = makeButton(QStringLiteral("cmdFocusOut"), QStringLiteral("Focus OUT"),
                             QStringLiteral("Selects the Focus Out Function"), this);
    cmdFocusStop = makeButton(QStringLiteral("cmdFocusStop"), QStringLiteral("STOP Focus"),
                              QStringLiteral("Stops all Focus Movement"), this);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setSingleShot(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(cmdFocusIn, 0, 0);
    grid->addWidget(cmdFocusOut, 0, 1);
    grid->addWidget(cmdFocusStop, 0, 2);
    grid->addWidget(FastFocus, 1, 0);
    grid->addWidget(PulseFocus, 1, 1);
    grid->addWidget(FocusPulsetxt, 1, 2);

    // A click on the box, not the start-up state, chooses the speed.
    connect(FastFocus, &QCheckBox::clicked, this,
            [this](bool fast) { sendFocusSpeed(m_ctx.channel, fast); });
    connect(cmdFocusIn, &QPushButton::clicked, this, [this] { pressMove(FocusMove::In); });
    connect(cmdFocusOut, &QPushButton::clicked, this, [this] { pressMove(FocusMove::Out); });
    connect(cmdFocusStop, &QPushButton::clicked, this, &FocusPanel::pressStop);
    connect(Timer3, &QTimer::timeout, this, &FocusPanel::pulseEnded);
}

void FocusPanel::pressMove(FocusMove move) {
    if (!PulseFocus->isChecked()) {
        sendFocusMove(m_ctx.channel, move);
        return;
    }
    const std::optional<int> ms = pulseMilliseconds(FocusPulsetxt->text());
    if (!ms) {
        m_ctx.prompts.message(QStringLiteral("Invalid Entry"), applicationTitle(), PromptIcon::None,
                              PromptButtons::Ok);
        return;
    }
    Timer3->setInterval(*ms);
    sendFocusMove(m_ctx.channel, move);
    Timer3->start();
}

void FocusPanel::pressStop() {
    // A pulse still running must not stop a later move.
    Timer3->stop();
    sendFocusStop(m_ctx.channel);
}

// The pulse length has passed: the focuser stops.
void FocusPanel::pulseEnded() {
    Timer3->stop();
    sendFocusStop(m_ctx.channel);
}

} // namespace corvane
