#pragma once

#include "link/PanelContext.h"

#include <QObject>
#include <functional>

class QCheckBox;
class QScrollBar;
class QTimer;
class QWidget;

namespace corvane {

class Channel;

// Automatic position updates: Timer1 fires every `scrlUDTime` milliseconds
// while `Check1` is checked (autoUpdate) and the guiding page is shown. Each
// tick shows the time-to-target estimate, waits 50 ms and asks for the
// position. A tick that finds an exchange still running, or a reply still on
// its way, sends nothing: polling never stacks up requests.
class PositionPolling : public QObject, public PollingControl {
    Q_OBJECT
public:
    static constexpr int kTickSettleMs = 50;
    static constexpr int kDefaultIntervalMs = 500;

    // The timer (objectName "Timer1") belongs to `owner`, the main window.
    PositionPolling(Channel& channel, QCheckBox* check1, QScrollBar* interval, QWidget* owner);

    QTimer* timer() const { return m_timer; }
    bool autoUpdate() const { return m_autoUpdate; }
    void setAutoUpdate(bool on) { m_autoUpdate = on; }
    // The estimate computed on each tick, shown through estimated().
    void setEstimate(std::function<QString()> estimate) { m_estimate = std::move(estimate); }
    // Polling runs only while the guiding page is shown.
    void setGuidingPageShown(bool shown);
    void tick();

    void pauseForSearch() override;
    void resumeAfterSearch() override;

signals:
    void estimated(const QString& text);

private:
    void onCheckToggled(bool on);
    void onIntervalChanged(int ms);

    Channel& m_channel;
    QCheckBox* m_check1;
    QScrollBar* m_interval;
    QTimer* m_timer;
    bool m_autoUpdate = false;
    bool m_guidingPageShown = false;
    std::function<QString()> m_estimate;
};

// "Auto Update Position     Update Interval 2.5 Sec"
QString intervalCaption(int ms);

} // namespace corvane
