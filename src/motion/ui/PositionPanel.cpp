#include "motion/ui/PositionPanel.h"

#include "link/Channel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace corvane {

PositionPanel::PositionPanel(ReplyDispatcher& dispatcher, QWidget* parent)
    : QGroupBox(QStringLiteral("Telescope Position"), parent) {
    setObjectName(QStringLiteral("PositionFrame"));
    auto* grid = new QGridLayout(this);

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

    deg = new QLineEdit(QString(QChar(0xB0)), this);
    deg->setObjectName(QStringLiteral("deg"));
    deg->hide();
    mins = new QLineEdit(QStringLiteral("\""), this);
    mins->setObjectName(QStringLiteral("mins"));
    mins->hide();

    Check1 = new QCheckBox(QStringLiteral("Auto Update Position   Update Interval"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setToolTip(
        QStringLiteral("Enables and Disable automatic update of the mount position"));
    scrlUDTime = new QScrollBar(Qt::Horizontal, this);
    scrlUDTime->setObjectName(QStringLiteral("scrlUDTime"));
    scrlUDTime->setRange(500, 10000);
    scrlUDTime->setSingleStep(100);
    scrlUDTime->setPageStep(1000);
    scrlUDTime->setValue(1000);

    grid->addWidget(TeleRAlbl, 0, 0);
    grid->addWidget(ScopeRAtxt, 0, 1);
    grid->addWidget(TeleDEClbl, 1, 0);
    grid->addWidget(ScopeDECtxt, 1, 1);
    grid->addWidget(Check1, 2, 0, 1, 2);
    grid->addWidget(scrlUDTime, 3, 0, 1, 2);

    for (const qint16 kind : {ReplyKind::Position, ReplyKind::Position2})
        dispatcher.subscribe(kind, this,
                             [this, kind](const QString& reply) { readPosition(kind, reply); });
    dispatcher.subscribe(ReplyKind::RightAscension, this, [this](const QString& reply) {
        readAxis(ScopeRAtxt, ReplyKind::RightAscension, rawRightAscension(reply));
    });
    dispatcher.subscribe(ReplyKind::Declination, this, [this](const QString& reply) {
        readAxis(ScopeDECtxt, ReplyKind::Declination, rawDeclination(reply));
    });
}

void PositionPanel::readPosition(qint16 kind, const QString& reply) {
    const std::optional<PositionText> position =
        positionFromReply(reply, degreeMark(), minuteMark());
    noteReply(kind, position.has_value());
    if (position)
        showPosition(*position);
}

void PositionPanel::readAxis(QLineEdit* box, qint16 kind, const std::optional<QString>& text) {
    noteReply(kind, text.has_value());
    if (text)
        box->setText(*text);
}

void PositionPanel::noteReply(qint16 kind, bool good) {
    if (!good && !m_lastWasBad)
        emit badReply(badReplyMessage(kind));
    m_lastWasBad = !good;
}

void PositionPanel::showPosition(const PositionText& position) {
    ScopeRAtxt->setText(position.ra);
    ScopeDECtxt->setText(position.dec);
}

QString PositionPanel::degreeMark() const {
    return deg->text();
}

QString PositionPanel::minuteMark() const {
    return mins->text();
}

} // namespace corvane
