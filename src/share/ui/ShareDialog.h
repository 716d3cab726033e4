#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace corvane {

class Prompts;
class ShareServer;
struct ShareSettings;

// Share: lets planetarium and guiding programs use the mount. The user picks
// the protocols, addresses and ports, how many clients may connect, and the
// site LX200 clients read; the dialog shows the address to type into the
// planetarium and the clients connected.
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
    QSpinBox* spnClients = nullptr;
    QLineEdit* txtLatitude = nullptr;
    QLineEdit* txtLongitude = nullptr;
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

    ShareServer& m_server;
    Prompts& m_prompts;
};

} // namespace corvane
