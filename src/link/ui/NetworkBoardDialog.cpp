#include "link/ui/NetworkBoardDialog.h"

#include "common/Prompts.h"
#include "common/ui/Widgets.h"
#include "link/NetworkAddress.h"
#include "link/SerialPort.h"
#include "session/MountSession.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace corvane {

NetworkBoardDialog::NetworkBoardDialog(MountSession& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("NetworkBoard"));
    setWindowTitle(QStringLiteral("Network Board"));
    spnNumber = new QSpinBox(this);
    spnNumber->setObjectName(QStringLiteral("spnNumber"));
    spnNumber->setRange(1, 16);
    spnNumber->setValue(session.portNumber());
    txtHost = new QLineEdit(this);
    txtHost->setObjectName(QStringLiteral("txtHost"));
    txtHost->setPlaceholderText(QStringLiteral("192.168.1.40"));
    spnPort = new QSpinBox(this);
    spnPort->setObjectName(QStringLiteral("spnPort"));
    spnPort->setRange(1, 65535);
    spnPort->setValue(4001);
    cmdConnect =
        makeButton(QStringLiteral("cmdConnect"), QStringLiteral("Connect"), QString(), this);
    cmdConnect->setDefault(true);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), QString(), this);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Port number"), spnNumber);
    form->addRow(QStringLiteral("Host"), txtHost);
    form->addRow(QStringLiteral("TCP port"), spnPort);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdConnect);
    buttons->addWidget(cmdCancel);
    form->addRow(buttons);
    connect(cmdConnect, &QPushButton::clicked, this, [this] {
        if (tryAddress())
            accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool NetworkBoardDialog::tryAddress() {
    Prompts& prompts = m_session.prompts();
    QString host, why;
    quint16 port = 0;
    const QString typed =
        networkAddressText(txtHost->text().trimmed(), static_cast<quint16>(spnPort->value()));
    if (!parseNetworkAddress(typed, &host, &port, &why)) {
        prompts.message(QStringLiteral("Invalid Entry: ") + why, applicationTitle(),
                        PromptIcon::None, PromptButtons::Ok);
        return false;
    }
    SerialPort& line = m_session.port();
    const int number = spnNumber->value();
    const int previous = m_session.portNumber();
    if (!line.bindNetwork(number, networkAddressText(host, port), &why)) {
        prompts.message(why, applicationTitle(), PromptIcon::None, PromptButtons::Ok);
        return false;
    }
    // Tried at once: on the port in use the connection moves there, else it
    // is opened. A host that does not answer (its message already shown)
    // leaves the number as it was, whatever it stood for.
    if (m_session.isOpen())
        m_session.choosePort(number);
    else {
        m_session.choosePort(number);
        m_session.toggleConnection();
    }
    if (!m_session.isOpen() || m_session.portNumber() != number) {
        line.undoNetworkBinding(number);
        if (!m_session.isOpen())
            m_session.choosePort(previous);
        return false;
    }
    emit bound(number);
    return true;
}

} // namespace corvane
