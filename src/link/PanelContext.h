#pragma once

namespace corvane {

class Channel;
class Clock;
class ControllerInfo;
class Prompts;

// State that more than one subsystem reads and no controller reply sets.
struct SharedState {
    // A mount data file was loaded onto the settings page and waits to be
    // stored with "Save All Settings".
    bool fileSettingsPending = false;
};

// Position polling as the other panels see it: the object search pauses it,
// since the board answers no position queries while it searches.
class PollingControl {
public:
    virtual ~PollingControl() = default;
    virtual void pauseForSearch() = 0;
    virtual void resumeAfterSearch() = 0;
};

// What a panel of the main window is given to do its work.
struct PanelContext {
    Channel& channel;
    Clock& clock;
    Prompts& prompts;
    ControllerInfo& controller;
    SharedState& shared;
    PollingControl& polling;
};

} // namespace corvane
