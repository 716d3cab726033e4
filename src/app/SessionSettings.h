#pragma once

#include "app/SettingsFile.h"

#include <QPoint>
#include <QSize>

namespace corvane {

class MountSession;

// The settings file as the session and the window's place take it.

// The port number, the user pins' labels, automatic reconnection and a
// network line's silence limit, as the file says; what it does not say stays.
void applySessionSettings(const WindowSettings& s, MountSession& session);

// The file's text for the session as it is now, the window at `place`
// (pixels), with the sharing options given.
QByteArray sessionSettingsText(const MountSession& session, const QPoint& place,
                               QMap<QString, QString> options);

// Where the window goes for the file's "Main Top" and "Main Left", from where
// it is now: a place that lies on no screen (a monitor since removed, a hand
// edited file) would hide the window, so it goes to the primary screen instead.
QPoint windowPlace(const WindowSettings& s, const QPoint& current, const QSize& frame);

} // namespace corvane
