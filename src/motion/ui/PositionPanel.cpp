#include "motion/ui/PositionPanel.h"

#include "motion/MountPosition.h"
#include "motion/PositionPolling.h"
#include "session/MountSession.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace corvane {

PositionPanel::PositionPanel(MountSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Telescope Position"), parent), m_position(session.position()),
      m_polling(session.polling()) {
    setObjectName(QStringLiteral("PositionFrame"));
    TeleRAlbl = new QLabel(QStringLiteral("Telescope RA"), this);
    TeleRAlbl->setObjectName(QStringLiteral("TeleRAlbl"));
    ScopeRAtxt = new QLineEdit(this);
    ScopeRAtxt->setObjectName(QStringLiteral("ScopeRAtxt"));
    ScopeRAtxt->setToolTip(QStringLiteral("Telescopes RA in hh:mm.m format"));
    ScopeRAtxt->setReadOnly(true);
    TeleDEClbl = new QLabel(QStringLiteral("Telescope DEC"), this);
    TeleDEClbl->setObjectName(QStringLiteral("TeleDEClbl"));
    ScopeDECtxt = new QLineEdit(this);
    ScopeDECtxt->setObjectName(QStringLiteral("ScopeDECtxt"));
    ScopeDECtxt->setToolTip(QStringLiteral("Telescope DEC in DD mm format"));
    ScopeDECtxt->setReadOnly(true);
    Check1 = new QCheckBox(m_polling.caption(), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setToolTip(
        QStringLiteral("Enables and Disable automatic update of the mount position"));
    scrlUDTime = new QScrollBar(Qt::Horizontal, this);
    scrlUDTime->setObjectName(QStringLiteral("scrlUDTime"));
    scrlUDTime->setRange(500, 10000);
    scrlUDTime->setSingleStep(100);
    scrlUDTime->setPageStep(1000);
    scrlUDTime->setValue(m_polling.interval());

    auto* grid = new QGridLayout(this);
    grid->addWidget(TeleRAlbl, 0, 0);
    grid->addWidget(ScopeRAtxt, 0, 1);
    grid->addWidget(TeleDEClbl, 1, 0);
    grid->addWidget(ScopeDECtxt, 1, 1);
    grid->addWidget(Check1, 2, 0, 1, 2);
    grid->addWidget(scrlUDTime, 3, 0, 1, 2);

    connect(Check1, &QCheckBox::toggled, &m_polling, &PositionPolling::setChecked);
    connect(scrlUDTime, &QScrollBar::valueChanged, &m_polling, &PositionPolling::setInterval);
    connect(&m_position, &MountPosition::changed, this, &PositionPanel::showPosition);
    connect(&m_polling, &PositionPolling::changed, this, &PositionPanel::showPolling);
}

// A position reply shows as 12h34.5m and +45°30"; a single-axis reply as the
// board wrote it, 12:34.5 or +45*30.
void PositionPanel::showPosition() {
    const std::optional<BoardRa>& ra = m_position.ra();
    const std::optional<BoardDec>& dec = m_position.dec();
    QString raText, decText;
    if (ra && m_position.raFromPosition())
        raText = ra->hoursText() + QLatin1Char('h') + ra->minutesText() + QLatin1Char('m');
    else if (ra)
        raText = ra->text();
    if (dec && m_position.decFromPosition())
        decText = dec->degreesText() + QChar(0xB0) + dec->minutesText() + QLatin1Char('"');
    else if (dec)
        decText = dec->text();
    ScopeRAtxt->setText(raText);
    ScopeDECtxt->setText(decText);
}

void PositionPanel::showPolling() {
    Check1->setText(m_polling.caption());
    Check1->setEnabled(m_polling.isCheckEnabled());
}

} // namespace corvane
