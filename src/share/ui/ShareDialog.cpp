#include "share/ui/ShareDialog.h"

#include "common/Prompts.h"
#include "common/ui/Widgets.h"
#include "share/AlpacaServer.h"
#include "share/ShareClient.h"
#include "share/ShareServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <tuple>

namespace corvane {

namespace {

QSpinBox* spinBox(const char* name, int low, int high, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    return box;
}

QLineEdit* lineEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// A site angle typed in degrees ("48.15", "-11.5") within +-limit.
bool readDegrees(const QString& text, double limit, double* degrees) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || value < -limit || value > limit)
        return false;
    *degrees = value;
    return true;
}

} // namespace

ShareDialog::ShareDialog(ShareServer& server, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_server(server), m_prompts(prompts) {
    setObjectName(QStringLiteral("Share"));
    setWindowTitle(QStringLiteral("Share Mount"));
    build();
    showSettings(m_server.settings());
    connect(&m_server, &ShareServer::changed, this, &ShareDialog::refresh);
    connect(&m_server, &ShareServer::siteChanged, this,
            [this] { showSettings(m_server.settings()); });
    refresh();
}

void ShareDialog::build() {
    auto* protocols = new QGroupBox(QStringLiteral("Programs connect over"), this);
    auto* grid = new QGridLayout(protocols);
    chkLx200 =
        new QCheckBox(QStringLiteral("LX200 (Stellarium, SkySafari, KStars, guiders)"), protocols);
    chkLx200->setObjectName(QStringLiteral("chkLx200"));
    txtLx200Address = lineEdit("txtLx200Address", protocols);
    spnLx200Port = spinBox("spnLx200Port", 1, 65535, protocols);
    chkStellarium = new QCheckBox(QStringLiteral("Stellarium's telescope protocol"), protocols);
    chkStellarium->setObjectName(QStringLiteral("chkStellarium"));
    txtStellariumAddress = lineEdit("txtStellariumAddress", protocols);
    spnStellariumPort = spinBox("spnStellariumPort", 1, 65535, protocols);
    chkAlpaca =
        new QCheckBox(QStringLiteral("ASCOM Alpaca (NINA, SharpCap, ASCOM programs)"), protocols);
    chkAlpaca->setObjectName(QStringLiteral("chkAlpaca"));
    txtAlpacaAddress = lineEdit("txtAlpacaAddress", protocols);
    spnAlpacaPort = spinBox("spnAlpacaPort", 1, 65535, protocols);
    grid->addWidget(new QLabel(QStringLiteral("Address"), protocols), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Port"), protocols), 0, 2);
    grid->addWidget(chkLx200, 1, 0);
    grid->addWidget(txtLx200Address, 1, 1);
    grid->addWidget(spnLx200Port, 1, 2);
    grid->addWidget(chkStellarium, 2, 0);
    grid->addWidget(txtStellariumAddress, 2, 1);
    grid->addWidget(spnStellariumPort, 2, 2);
    grid->addWidget(chkAlpaca, 3, 0);
    grid->addWidget(txtAlpacaAddress, 3, 1);
    grid->addWidget(spnAlpacaPort, 3, 2);
    spnClients = spinBox("spnClients", 1, ShareSettings::kMostClients, protocols);
    grid->addWidget(new QLabel(QStringLiteral("Clients at most (LX200 and Stellarium)"), protocols),
                    4, 0);
    grid->addWidget(spnClients, 4, 2);
    cboSyncedFrame = new QComboBox(protocols);
    cboSyncedFrame->setObjectName(QStringLiteral("cboSyncedFrame"));
    cboSyncedFrame->addItems(
        {QStringLiteral("J2000"), QStringLiteral("the date's equinox (JNow)")});
    grid->addWidget(new QLabel(QStringLiteral("Mount synced to"), protocols), 5, 0);
    grid->addWidget(cboSyncedFrame, 5, 1, 1, 2);

    auto* site = new QGroupBox(QStringLiteral("Site (degrees; north and east positive)"), this);
    auto* siteGrid = new QGridLayout(site);
    txtLatitude = lineEdit("txtLatitude", site);
    txtLongitude = lineEdit("txtLongitude", site);
    txtElevation = lineEdit("txtElevation", site);
    siteGrid->addWidget(new QLabel(QStringLiteral("Latitude"), site), 0, 0);
    siteGrid->addWidget(txtLatitude, 0, 1);
    siteGrid->addWidget(new QLabel(QStringLiteral("Longitude"), site), 0, 2);
    siteGrid->addWidget(txtLongitude, 0, 3);
    siteGrid->addWidget(new QLabel(QStringLiteral("Elevation (m)"), site), 0, 4);
    siteGrid->addWidget(txtElevation, 0, 5);

    lblAddress = new QLabel(this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    gridClients = new QTableWidget(0, 4, this);
    gridClients->setObjectName(QStringLiteral("gridClients"));
    gridClients->setHorizontalHeaderLabels({QStringLiteral("Address"), QStringLiteral("Program"),
                                            QStringLiteral("Last command"),
                                            QStringLiteral("When (UTC)")});
    gridClients->horizontalHeader()->setStretchLastSection(true);
    gridClients->setEditTriggers(QAbstractItemView::NoEditTriggers);
    cmdShare = makeButton(QStringLiteral("cmdShare"), QString(), QString(), this);
    cmdClose = makeButton(QStringLiteral("cmdClose"), QStringLiteral("Close"), QString(), this);
    connect(cmdShare, &QPushButton::clicked, this, &ShareDialog::toggleSharing);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdShare);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* page = new QVBoxLayout(this);
    page->addWidget(protocols);
    page->addWidget(site);
    page->addWidget(lblAddress);
    page->addWidget(gridClients, 1);
    page->addLayout(buttons);
    resize(620, 420);
}

void ShareDialog::showSettings(const ShareSettings& s) {
    chkLx200->setChecked(s.lx200);
    txtLx200Address->setText(s.lx200Address);
    spnLx200Port->setValue(s.lx200Port);
    chkStellarium->setChecked(s.stellarium);
    txtStellariumAddress->setText(s.stellariumAddress);
    spnStellariumPort->setValue(s.stellariumPort);
    chkAlpaca->setChecked(s.alpaca);
    txtAlpacaAddress->setText(s.alpacaAddress);
    spnAlpacaPort->setValue(s.alpacaPort);
    cboSyncedFrame->setCurrentIndex(s.syncedJNow ? 1 : 0);
    spnClients->setValue(s.maxClients);
    txtElevation->setText(QString::number(s.site.elevation, 'f', 0));
    txtLatitude->setText(QString::number(s.site.latitude, 'f', 4));
    txtLongitude->setText(QString::number(s.site.longitude, 'f', 4));
}

bool ShareDialog::readSettings(ShareSettings* s) {
    *s = m_server.settings();
    s->lx200 = chkLx200->isChecked();
    s->lx200Address = txtLx200Address->text().trimmed();
    s->lx200Port = static_cast<quint16>(spnLx200Port->value());
    s->stellarium = chkStellarium->isChecked();
    s->stellariumAddress = txtStellariumAddress->text().trimmed();
    s->stellariumPort = static_cast<quint16>(spnStellariumPort->value());
    s->alpaca = chkAlpaca->isChecked();
    s->alpacaAddress = txtAlpacaAddress->text().trimmed();
    s->alpacaPort = static_cast<quint16>(spnAlpacaPort->value());
    s->syncedJNow = cboSyncedFrame->currentIndex() == 1;
    s->maxClients = spnClients->value();
    // An address that does not read would listen on every interface.
    for (const auto& [on, field, name] :
         {std::tuple(s->lx200, txtLx200Address, "LX200"),
          std::tuple(s->stellarium, txtStellariumAddress, "Stellarium"),
          std::tuple(s->alpaca, txtAlpacaAddress, "Alpaca")}) {
        if (on && !isListenAddress(field->text().trimmed())) {
            m_prompts.message(QStringLiteral("Invalid Entry: the %1 address \"%2\" is not an IP "
                                             "address (such as 127.0.0.1) or \"localhost\".")
                                  .arg(QLatin1String(name), field->text()),
                              applicationTitle(), PromptIcon::None, PromptButtons::Ok);
            field->setFocus();
            return false;
        }
    }
    bool elevationOk = false;
    const double elevation = txtElevation->text().trimmed().toDouble(&elevationOk);
    if (!readDegrees(txtLatitude->text(), 90, &s->site.latitude) ||
        !readDegrees(txtLongitude->text(), 180, &s->site.longitude) || !elevationOk ||
        elevation < -300 || elevation > 10000) {
        m_prompts.message(QStringLiteral("Invalid Entry: the site's latitude is -90 to 90 "
                                         "degrees, its longitude -180 to 180, its elevation "
                                         "-300 to 10000 metres."),
                          applicationTitle(), PromptIcon::None, PromptButtons::Ok);
        return false;
    }
    s->site.elevation = elevation;
    return true;
}

// Anyone who can reach an address other than this computer's own can move
// the mount: the user is told before it is shared there.
void ShareDialog::toggleSharing() {
    if (m_server.isSharing()) {
        m_server.stop();
        return;
    }
    ShareSettings settings;
    if (!readSettings(&settings))
        return;
    if (!settings.any()) {
        m_server.setSettings(settings);
        return;
    }
    if (settings.reachableFromOutside() &&
        m_prompts.message(QStringLiteral("Anyone on the network of that address can move the "
                                         "mount. Share it there?"),
                          applicationTitle(), PromptIcon::Warning,
                          PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    QString why;
    if (!m_server.start(settings, &why))
        m_prompts.message(why, applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

void ShareDialog::refresh() {
    const bool sharing = m_server.isSharing();
    cmdShare->setText(sharing ? QStringLiteral("Stop Sharing") : QStringLiteral("Start Sharing"));
    const QString& noDiscovery = m_server.alpaca().discoveryProblem();
    lblAddress->setText(
        sharing ? QStringLiteral("Type into the planetarium: ") + m_server.addressText() +
                      (noDiscovery.isEmpty() ? QString() : QLatin1Char('\n') + noDiscovery)
                : QStringLiteral("The mount is not shared."));
    listClients();
}

// The LX200 and Stellarium clients connected, then the Alpaca clients heard
// from lately (their HTTP connections come and go).
void ShareDialog::listClients() {
    QList<QStringList> rows;
    const QString time = QStringLiteral("HH:mm:ss");
    for (const ShareClient* c : m_server.clients())
        rows << QStringList{c->address(), c->program(), c->lastCommand(),
                            c->lastTime().toString(time)};
    for (const AlpacaClientInfo& c : m_server.alpaca().clients())
        rows << QStringList{c.address, QStringLiteral("Alpaca, ClientID %1").arg(c.clientId),
                            c.lastMember, c.lastTime.toString(time)};
    gridClients->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < 4; ++column)
            gridClients->setItem(row, column, new QTableWidgetItem(rows[row][column]));
}

} // namespace corvane
