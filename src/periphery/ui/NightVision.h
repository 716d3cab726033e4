#pragma once

#include "periphery/NightColours.h"

#include <QPalette>

namespace corvane {

// The night colours laid onto a palette: every colour group, the roles that
// draw this program's windows, dialogs, menus and tool tips.
QPalette nightPalette(const ColourTable& night = nightColours());

// Night vision for the whole program. On Windows it switches the system
// display colours (and so every window on the desktop, as users of the
// original utility expect); elsewhere, where no global colour table exists,
// it switches the application palette, which every window of this program
// follows. The colours in force at start-up are saved first and come back on
// switching off and at exit.
class NightVision {
public:
    // Fills the night colours, then saves the colours now in force.
    void prepare();
    void nightOn();
    // Puts back the saved colours; nothing before prepare() saved any.
    void nightOff();
    bool isOn() const { return m_on; }

private:
    ColourTable m_night = nightColours();
    bool m_saved = false;
    bool m_on = false;
#ifdef Q_OS_WIN
    ColourRefTable m_savedColours{};
#else
    QPalette m_savedPalette;
    QPalette m_savedToolTipPalette;
#endif
};

} // namespace corvane
