#pragma once

#include "link/PortDirectory.h"
#include "link/SerialPort.h"

#include <QSerialPort>
#include <QTimer>
#include <functional>

namespace corvane {

// The real serial line: 9600 baud, 8 data bits, no parity, 1 stop bit, no
// flow control, on the device that the directory names for the port number.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(PortDirectory directory, QObject* parent = nullptr);
    // The directory is built on first use (listing the system's devices can
    // take a while, and start-up goes on meanwhile).
    explicit QtSerialPort(std::function<PortDirectory()> directory, QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool isOpen() const override;
    bool open(QString* error) override;
    void close() override;
    int waitingCount() override;
    QByteArray readAll() override;
    void write(const QByteArray& bytes) override;
    QString settingsText() const override;
    QString deviceName(int n) const override;

private:
    void pullPending();
    void onError(QSerialPort::SerialPortError error);
    // True when the operating system reports the line hung up.
    bool lineHungUp() const;
    void checkLine();
    void loseLine();

    const PortDirectory& directory() const;

    mutable std::function<PortDirectory()> m_pendingDirectory;
    mutable PortDirectory m_directory;
    QSerialPort m_port;
    bool m_pulling = false;
    // Watches for a vanished adapter, which the serial library does not
    // always report by itself (a hung-up line with no data pending).
    QTimer m_lineWatch;
};

} // namespace corvane
