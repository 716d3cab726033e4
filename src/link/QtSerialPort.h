#pragma once

#include "link/NetworkLine.h"
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
//
// A number bound to a serial-to-network bridge ("tcp://HOST:PORT") is opened
// as a TCP connection instead (NetworkLine): this one class stays the
// program's real port whatever the number stands for, so the window, the
// channel and the reconnection logic never learn which kind of line they
// have. The bridge sets the line to 9600 8N1 on its side; the status bar
// shows its address where a serial line shows its settings.
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
    bool probe(QString* error) override;
    bool bindNetwork(int n, const QString& address, QString* why) override;
    void undoNetworkBinding(int n) override;
    QString lineIdentity() const override;
    QString presentIdentity() const override;
    void rescan() override;
    bool openWithoutWaiting(QString* error) override;

    using DeviceLister = std::function<QVector<SerialDevice>()>;
    // Where the system's devices come from (PortDirectory::systemDevices()
    // unless a test says otherwise).
    void setDeviceLister(DeviceLister lister) { m_listDevices = std::move(lister); }

    // How long opening a network line may take (about 3 s by default).
    void setConnectTimeout(int ms) { m_network.setConnectTimeout(ms); }
    void setOpenTimeout(int ms) override { setConnectTimeout(ms); }

private:
    bool openSerial(const QString& device, QString* error);
    bool openNetwork(const QString& address, bool wait, QString* error);
    void onError(QSerialPort::SerialPortError error);
    // True when the device is really gone: the operating system reports the
    // line hung up, or the device node has vanished.
    bool deviceGone() const;
    void checkLine();
    void loseLine();

    const PortDirectory& directory() const;
    PortDirectory& directory();

    mutable DirectoryBuilder m_pendingDirectory;
    mutable PortDirectory m_directory;
    PortDirectory::Identities m_remembered;
    DeviceLister m_listDevices = &PortDirectory::systemDevices;
    QSerialPort m_port;
    NetworkLine m_network;
    QString m_openDevice; // what the open line was opened as
    // Watches for a vanished adapter, which the serial library does not
    // always report by itself (a hung-up line with no data pending).
    QTimer m_lineWatch;
};

} // namespace corvane
