// The window's settings file: read at start-up, written at exit.
#include "app/MainWindow.h"

#include "app/SettingsFile.h"
#include "link/Ports.h"
#include "link/SerialPort.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <cstdio>

namespace corvane {

namespace {

// Positions in the file are twips; one logical DPI (the primary screen's)
// converts both ways, so a position read back is the one written.
double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

// A saved position that lies on no screen (a monitor since removed, a hand
// edited file) would hide the window: it goes to the primary screen instead.
QPoint visiblePosition(const QPoint& wanted, const QSize& size) {
    if (QGuiApplication::screenAt(wanted))
        return wanted;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return wanted;
    const QRect area = primary->availableGeometry();
    const QSize fit = size.boundedTo(area.size());
    return area.topLeft() +
           QPoint((area.width() - fit.width()) / 2, (area.height() - fit.height()) / 2);
}

} // namespace

WindowSettings MainWindow::readSettingsFile() const {
    QString why;
    const WindowSettings s = readWindowSettings(settingsFileName(), &why);
    if (!why.isEmpty())
        std::fprintf(stderr, "corvane-control: settings not read: %s\n", qPrintable(why));
    return s;
}

void MainWindow::loadWindowSettings(const WindowSettings& s) {
    if (s.comPort) {
        mnucom[*s.comPort]->setChecked(true);
        m_port->setPortNumber(*s.comPort);
        // The status bar names the port in use from the start.
        statusPanel[2]->setText(connectionDisplay(false, 0.0f, *s.comPort, QString()).port);
    }
    if (s.top || s.left) {
        const double dpi = logicalDpi();
        QPoint p = pos();
        if (s.left)
            p.setX(twipsToPixels(*s.left, dpi));
        if (s.top)
            p.setY(twipsToPixels(*s.top, dpi));
        move(visiblePosition(p, frameGeometry().size()));
    }
    if (s.pin7Label)
        mnuPin7->setText(*s.pin7Label);
    if (s.pin14Label)
        mnuPin14->setText(*s.pin14Label);
}

void MainWindow::saveWindowSettings() {
    if (!SaveOnExit->isChecked())
        return;
    const double dpi = logicalDpi();
    // An unwritable directory or a full disk leaves the old file untouched;
    // closing the window goes on regardless.
    QString why;
    const QByteArray text =
        windowSettingsText(m_port->portNumber(), pixelsToTwips(y(), dpi), pixelsToTwips(x(), dpi),
                           mnuPin7->text(), mnuPin14->text(), m_port->deviceIdentities());
    if (!writeWindowSettings(settingsFileName(), text, &why) && !why.isEmpty())
        std::fprintf(stderr, "corvane-control: settings not saved: %s\n", qPrintable(why));
}

} // namespace corvane
