#include "link/Ports.h"

#include "link/SerialPort.h"

namespace corvane {

ProbeResult probePorts(SerialPort& port) {
    ProbeResult result;
    for (int n = 16; n >= 1; --n) {
        port.setPortNumber(n);
        QString error;
        if (port.probe(&error)) {
            result.anyUsable = true;
            result.usable[n] = true;
        }
    }
    port.setPortNumber(1);
    return result;
}

QString portUnavailableMessage(int portNumber, const QString& description) {
    return QStringLiteral("Com") + QString::number(portNumber) +
           QStringLiteral(" is not available.") + QStringLiteral("\r\n") + description;
}

QString noPortsMessage() {
    return QStringLiteral("There are no available comm ports on this computer.");
}

QString noPortsTitle() {
    return QStringLiteral("Commx");
}

ConnectionDisplay connectionDisplay(bool open, float firmwareVersion, int portNumber,
                                    const QString& settingsText) {
    ConnectionDisplay d;
    if (open) {
        d.state = firmwareVersion > 2.0f ? QStringLiteral("Connected")
                                         : QStringLiteral("No Corvane update");
        d.connectCaption = QStringLiteral("Dis&connect");
        d.sendEnabled = true;
    } else {
        d.state = QStringLiteral("Disconnected");
        d.connectCaption = QStringLiteral("&Connect");
        d.sendEnabled = false;
    }
    d.port = QStringLiteral("COM") + QString::number(portNumber);
    d.settings = settingsText;
    return d;
}

QString portMenuCaption(int portNumber) {
    return portNumber <= 9 ? QStringLiteral("Com &%1").arg(portNumber)
                           : QStringLiteral("Com %1").arg(portNumber);
}

} // namespace corvane
