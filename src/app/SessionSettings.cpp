#include "app/SessionSettings.h"

#include "link/SerialPort.h"
#include "periphery/AuxiliaryOutputs.h"
#include "session/MountSession.h"

#include <QGuiApplication>
#include <QScreen>

namespace corvane {

namespace {

// Positions in the file are twips; one logical DPI (the primary screen's)
// converts both ways, so a position read back is the one written.
double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

const QString kReconnectKey = QStringLiteral("Reconnect Automatically");

} // namespace

void applySessionSettings(const WindowSettings& s, MountSession& session) {
    if (s.comPort)
        session.port().setPortNumber(*s.comPort);
    AuxiliaryOutputs& outputs = session.outputs();
    outputs.setLabels(s.pin7Label.value_or(outputs.pin7Label()),
                      s.pin14Label.value_or(outputs.pin14Label()));
    session.setReconnecting(s.options.value(kReconnectKey) != QLatin1String("0"));
    bool silenceRead = false;
    const int silence = s.options.value(QStringLiteral("Line Silence Seconds")).toInt(&silenceRead);
    if (silenceRead && silence >= 0 && silence <= 3600)
        session.setSilenceLimit(silence);
}

QByteArray sessionSettingsText(const MountSession& session, const QPoint& place,
                               QMap<QString, QString> options) {
    const double dpi = logicalDpi();
    if (!session.isReconnecting())
        options.insert(kReconnectKey, QStringLiteral("0"));
    const AuxiliaryOutputs& outputs = session.outputs();
    return windowSettingsText(session.portNumber(), pixelsToTwips(place.y(), dpi),
                              pixelsToTwips(place.x(), dpi), outputs.pin7Label(),
                              outputs.pin14Label(), session.port().deviceIdentities(), options);
}

QPoint windowPlace(const WindowSettings& s, const QPoint& current, const QSize& frame) {
    if (!s.top && !s.left)
        return current;
    const double dpi = logicalDpi();
    QPoint wanted = current;
    if (s.left)
        wanted.setX(twipsToPixels(*s.left, dpi));
    if (s.top)
        wanted.setY(twipsToPixels(*s.top, dpi));
    if (QGuiApplication::screenAt(wanted))
        return wanted;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return wanted;
    const QRect area = primary->availableGeometry();
    const QSize fit = frame.boundedTo(area.size());
    return area.topLeft() +
           QPoint((area.width() - fit.width()) / 2, (area.height() - fit.height()) / 2);
}

} // namespace corvane
