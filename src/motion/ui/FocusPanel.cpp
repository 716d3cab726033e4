#include "motion/ui/FocusPanel.h"

#include "common/ui/Widgets.h"
#include "motion/Focuser.h"
#include "session/MountSession.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace corvane {

FocusPanel::FocusPanel(MountSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Focus"), parent), m_focuser(session.focuser()) {
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

    auto* grid = new QGridLayout(this);
    grid->addWidget(cmdFocusIn, 0, 0);
    grid->addWidget(cmdFocusOut, 0, 1);
    grid->addWidget(cmdFocusStop, 0, 2);
    grid->addWidget(FastFocus, 1, 0);
    grid->addWidget(PulseFocus, 1, 1);
    grid->addWidget(FocusPulsetxt, 1, 2);

    // A click on the box, not the start-up state, chooses the speed; what is
    // typed goes to the focuser as it is typed.
    connect(FastFocus, &QCheckBox::clicked, &m_focuser, &Focuser::setFast);
    connect(PulseFocus, &QCheckBox::toggled, &m_focuser, &Focuser::setPulseMode);
    connect(FocusPulsetxt, &QLineEdit::textChanged, &m_focuser, &Focuser::setPulseLength);
    for (const auto& [button, move] :
         {std::pair{cmdFocusIn, FocusMove::In}, std::pair{cmdFocusOut, FocusMove::Out}})
        connect(button, &QPushButton::clicked, this, [this, m = move] { m_focuser.move(m); });
    connect(cmdFocusStop, &QPushButton::clicked, &m_focuser, &Focuser::stop);
    connect(&m_focuser, &Focuser::changed, this, &FocusPanel::refresh);
    refresh();
}

void FocusPanel::refresh() {
    FastFocus->setChecked(m_focuser.fast());
    PulseFocus->setChecked(m_focuser.pulseMode());
}

} // namespace corvane
