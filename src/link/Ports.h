#pragma once

#include <QString>
#include <QVector>

namespace corvane {

class SerialPort;

// Which port numbers 1..16 could be opened at start-up.
struct ProbeResult {
    bool anyUsable = false;
    QVector<bool> usable = QVector<bool>(17, false); // index = port number
};

// Probes every port from 16 down to 1 (see SerialPort::probe), leaves port 1
// set and the port closed.
ProbeResult probePorts(SerialPort& port);

// "Com" + n + " is not available." + CR LF + the platform's description.
QString portUnavailableMessage(int portNumber, const QString& description);
QString noPortsMessage();
QString noPortsTitle();

// The connection's display: status panels 1..3, the connect entry's caption
// and whether the raw terminal may send.
struct ConnectionDisplay {
    QString state;
    QString port;
    QString settings;
    QString connectCaption;
    bool sendEnabled = false;
};
ConnectionDisplay connectionDisplay(bool open, float firmwareVersion, int portNumber,
                                    const QString& settingsText);

// Caption of a port menu entry: "Com &1" .. "Com &9", "Com 10" .. "Com 16".
QString portMenuCaption(int portNumber);

} // namespace corvane
