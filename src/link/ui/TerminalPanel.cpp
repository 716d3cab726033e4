#include "link/ui/TerminalPanel.h"

#include "controller/ControllerInfo.h"
#include "controller/Firmware.h"
#include "link/BoardLine.h"
#include "link/Replies.h"
#include "motion/Target.h"
#include "session/MountSession.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace corvane {

TerminalPanel::TerminalPanel(MountSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Manual Commands"), parent), m_session(session),
      m_controller(session.controller()) {
    setObjectName(QStringLiteral("TerminalFrame"));
    auto* grid = new QGridLayout(this);

    auto* outLabel = new QLabel(QStringLiteral("Enter Commands to send Manually"), this);
    outLabel->setObjectName(QStringLiteral("lblTextOut"));
    txtTextOut = new QLineEdit(this);
    txtTextOut->setObjectName(QStringLiteral("txtTextOut"));
    txtTextOut->installEventFilter(this);

    for (int i = 0; i < 2; ++i) {
        btnSend[i] = new QPushButton(QStringLiteral("Send"), this);
        btnSend[i]->setObjectName(QStringLiteral("btnSend_%1").arg(i));
        btnSend[i]->setEnabled(false);
        connect(btnSend[i], &QPushButton::clicked, this, [this, i] { send(i); });
    }
    btnSend[1]->setToolTip(QStringLiteral("Sends direct commands to the mount"));
    btnSend[0]->hide();

    for (int i = 0; i < 3; ++i) {
        btnClear[i] = new QPushButton(QStringLiteral("Clear"), this);
        btnClear[i]->setObjectName(QStringLiteral("btnClear_%1").arg(i));
        connect(btnClear[i], &QPushButton::clicked, this, [this, i] { pressClear(i); });
    }
    btnClear[0]->hide();
    btnClear[1]->setToolTip(QStringLiteral("Clears the Command Window"));
    btnClear[2]->setToolTip(QStringLiteral("Clears the Last Response"));

    auto* responseLabel = new QLabel(QStringLiteral("Last Response:"), this);
    responseLabel->setObjectName(QStringLiteral("lblResponse"));
    txtResponse = new QLineEdit(this);
    txtResponse->setObjectName(QStringLiteral("txtResponse"));
    txtResponse->setReadOnly(true);

    // Hex entry boxes kept hidden, as on the board's original window.
    for (int i = 0; i < 12; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtHEX_%1").arg(i));
        box->hide();
        txtHEX.append(box);
    }
    auto* hexLabel = new QLabel(QStringLiteral("HEX:"), this);
    hexLabel->setObjectName(QStringLiteral("lblHEX"));
    hexLabel->hide();
    auto* textLabel = new QLabel(QStringLiteral("TEXT:"), this);
    textLabel->setObjectName(QStringLiteral("lblTEXT"));
    textLabel->hide();

    cmdGetVersion = new QPushButton(QStringLiteral("Get Firmware Version"), this);
    cmdGetVersion->setObjectName(QStringLiteral("cmdGetVersion"));
    cmdGetVersion->setToolTip(QStringLiteral("Retrieves the Corvane update Firmware version"));
    connect(cmdGetVersion, &QPushButton::clicked, &session, &MountSession::askVersion);

    cmdGetDEC = new QPushButton(QStringLiteral("Get Scope DEC"), this);
    cmdGetDEC->setObjectName(QStringLiteral("cmdGetDEC"));
    cmdGetDEC->hide();
    connect(cmdGetDEC, &QPushButton::clicked, &session, &MountSession::askDeclination);
    connect(&session.line(), &BoardLine::received, this, &TerminalPanel::showReceived);
    connect(&m_controller, &ControllerInfo::changed, this, &TerminalPanel::showVersion);
    // The board's target read back shows as its last 15 characters.
    connect(&session.target(), &Target::controllerTargetRead, txtResponse, &QLineEdit::setText);
    connect(&session, &MountSession::disconnected, txtResponse, &QLineEdit::clear);
    connect(&session, &MountSession::connectionChanged, this, &TerminalPanel::showConnection);

    grid->addWidget(cmdGetVersion, 0, 0, 1, 3);
    grid->addWidget(outLabel, 1, 0, 1, 3);
    grid->addWidget(txtTextOut, 2, 0, 1, 3);
    grid->addWidget(btnSend[1], 3, 1);
    grid->addWidget(btnClear[1], 3, 2);
    grid->addWidget(responseLabel, 4, 0, 1, 3);
    grid->addWidget(txtResponse, 5, 0, 1, 3);
    grid->addWidget(btnClear[2], 6, 2);
    grid->setColumnStretch(0, 1);
}

// Raw replies (and manual ones that begin with a control or high byte) as
// hex pairs, the others as text.
void TerminalPanel::showReceived(const QByteArray& bytes, ReplyForm form) {
    txtResponse->setText(form == ReplyForm::Raw ? hexPairs(bytes) : QString::fromLatin1(bytes));
}

// Both Send buttons only while the port is open.
void TerminalPanel::showConnection() {
    const bool open = m_session.isOpen();
    btnSend[0]->setEnabled(open);
    btnSend[1]->setEnabled(open);
}

void TerminalPanel::showVersion() {
    const QString& reply = m_controller.reply();
    cmdGetVersion->setText(reply.isEmpty() ? QStringLiteral("Get Firmware Version")
                                           : versionCaption(reply));
}

void TerminalPanel::send(int index) {
    m_session.sendManual(index == 1 ? std::optional<QString>(txtTextOut->text()) : std::nullopt);
}

void TerminalPanel::pressClear(int index) {
    if (index == 0) {
        for (QLineEdit* box : txtHEX)
            box->clear();
    } else if (index == 1) {
        txtTextOut->clear();
    } else if (index == 2) {
        txtResponse->clear();
    }
}

bool TerminalPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtTextOut && event->type() == QEvent::FocusIn) {
        // Select the whole command once the focus has settled (a mouse click
        // would otherwise place the cursor over the selection).
        QTimer::singleShot(0, txtTextOut, [this] { txtTextOut->selectAll(); });
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace corvane
