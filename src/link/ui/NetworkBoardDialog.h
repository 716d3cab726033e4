#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace corvane {

class MountSession;

// "Network Board…": a port number for a board behind a serial-to-network
// bridge (or ser2net), by host and port. The address is tried at once;
// one that does not parse, resolve or answer is said so and changes nothing.
class NetworkBoardDialog : public QDialog {
    Q_OBJECT
public:
    NetworkBoardDialog(MountSession& session, QWidget* parent = nullptr);

    QSpinBox* spnNumber = nullptr;
    QLineEdit* txtHost = nullptr;
    QSpinBox* spnPort = nullptr;
    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Binds the number, connects to it; true when the board's line is open.
    bool tryAddress();

signals:
    // The number now stands for the address (the port menu shows it).
    void bound(int number);

private:
    MountSession& m_session;
};

} // namespace corvane
