#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace corvane {

class Prompts;
class ShareServer;
struct ShareSettings;

// Share: lets planetarium, guiding and ASCOM programs use the mount. The
// user picks the protocols, addresses and ports, how many clients may
// connect, the site clients read and the frame the mount is synced in; the dialog shows the address
// to type into the planetarium and the clients connected.
class ShareDialog : public QDialog {
    Q_OBJECT
public:
    ShareDialog(ShareServer& server, Prompts& prompts, QWidget* parent = nullptr);

    QCheckBox* chkLx200 = nullptr;
    QLineEdit* txtLx200Address = nullptr;
    QSpinBox* spnLx200Port = nullptr;
    QCheckBox* chkStellarium = nullptr;
    QLineEdit* txtStellariumAddress = nullptr;
    QSpinBox* spnStellariumPort = nullptr;
    QCheckBox* chkAlpaca = nullptr;
    QLineEdit* txtAlpacaAddress = nullptr;
    QSpinBox* spnAlpacaPort = nullptr;
    QComboBox* cboSyncedFrame = nullptr; // J2000, or the date's equinox
    QSpinBox* spnClients = nullptr;
    QLineEdit* txtLatitude = nullptr;
    QLineEdit* txtLongitude = nullptr;
    QLineEdit* txtElevation = nullptr;
    QLabel* lblAddress = nullptr;
    QTableWidget* gridClients = nullptr;
    QPushButton* cmdShare = nullptr;
    QPushButton* cmdClose = nullptr;

    // Start sharing with what the dialog shows, or stop.
    void toggleSharing();

private:
    void build();
    void showSettings(const ShareSettings& settings);
    bool readSettings(ShareSettings* settings);
    void refresh();
    void listClients();

    ShareServer& m_server;
    Prompts& m_prompts;
};

} // namespace corvane
