#pragma once

#include "link/PortDirectory.h"
#include "link/SerialPort.h"

#include <QSerialPort>
#include <QTimer>
#include <functional>

namespace corvane {

// The real serial line: 9600 baud, 8 data bits, no parity, 1 stop bit, no
// flow control, on the device that the directory names for the port number.
//
// QSerialPort alone reads the device: it reads whenever the event loop sees
// data waiting, and nothing here reads behind its back (a read of our own
// would leave its pending notification to find nothing, which it reports as
// a resource error). Likewise an error is not taken for an unplugged adapter
// until the system confirms the device is gone.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    using DirectoryBuilder = std::function<PortDirectory(const PortDirectory::Identities&)>;

    explicit QtSerialPort(PortDirectory directory, QObject* parent = nullptr);
    // The directory is built on first use (listing the system's devices can
    // take a while, and start-up goes on meanwhile), with the numbers that
    // the adapters had last time.
    explicit QtSerialPort(DirectoryBuilder directory, QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool isOpen() const override;
    bool open(QString* error) override;
    void close() override;
    int waitingCount() override;
    QByteArray readAll() override;
    void write(const QByteArray& bytes) override;
    QString settingsText() const override;
    QString deviceName(int n) const override;
    void rememberDevices(const QMap<int, QString>& identities) override;
    QMap<int, QString> deviceIdentities() const override;

private:
    void onError(QSerialPort::SerialPortError error);
    // True when the device is really gone: the operating system reports the
    // line hung up, or the device node has vanished.
    bool deviceGone() const;
    void checkLine();
    void loseLine();

    const PortDirectory& directory() const;

    mutable DirectoryBuilder m_pendingDirectory;
    mutable PortDirectory m_directory;
    PortDirectory::Identities m_remembered;
    QSerialPort m_port;
    // Watches for a vanished adapter, which the serial library does not
    // always report by itself (a hung-up line with no data pending).
    QTimer m_lineWatch;
};

} // namespace corvane
