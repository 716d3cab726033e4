#pragma once

namespace corvane {

class Channel;
class Clock;
class Prompts;

// Form-level state that more than one panel reads.
struct FormState {
    // Set from the version reply.
    float firmwareVersion = 0.0f;
    bool splitSettingsDump = false;
    bool pecTouchUp = false;
    // Automatic position polling is switched on.
    bool autoUpdate = false;
};

// What a panel of the main window needs to do its work.
struct AppContext {
    Channel& channel;
    Clock& clock;
    Prompts& prompts;
    FormState& state;
};

} // namespace corvane
