#include "periphery/ui/NightVision.h"

#include <QApplication>
#include <QToolTip>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace corvane {

namespace {

QColor toColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

struct RoleSource {
    QPalette::ColorRole role;
    int index; // system colour index whose night colour the role takes
};

// Which night colour draws what in a Qt window. Where the table would put
// dark text on mid red (button text, selected text) or red text on mid red
// (window and tool tip text), the background takes the table's darker red or
// black instead, so every caption and value stays legible: red on dark, with
// a bright red selection carrying black text.
const RoleSource kRoles[] = {
    {QPalette::Window, SysColour::ScrollBar},
    {QPalette::WindowText, SysColour::WindowText},
    {QPalette::Base, SysColour::Desktop},
    {QPalette::AlternateBase, SysColour::ScrollBar},
    {QPalette::Text, SysColour::WindowText},
    {QPalette::Button, SysColour::ScrollBar},
    {QPalette::ButtonText, SysColour::WindowText},
    {QPalette::Light, SysColour::ButtonFace},
    {QPalette::Midlight, SysColour::Light3D},
    {QPalette::Mid, SysColour::ButtonFace},
    {QPalette::Dark, SysColour::ButtonShadow},
    {QPalette::Shadow, SysColour::DarkShadow3D},
    {QPalette::Highlight, SysColour::ButtonHighlight},
    {QPalette::HighlightedText, SysColour::HighlightText},
    {QPalette::ToolTipBase, SysColour::Desktop},
    {QPalette::ToolTipText, SysColour::InfoText},
    {QPalette::BrightText, SysColour::CaptionText},
    {QPalette::Link, SysColour::WindowText},
    {QPalette::LinkVisited, SysColour::HotLight},
    {QPalette::PlaceholderText, SysColour::GrayText},
};

// Text of disabled controls is the grey text colour.
const QPalette::ColorRole kDisabledText[] = {QPalette::WindowText, QPalette::Text,
                                             QPalette::ButtonText};

} // namespace

QPalette nightPalette(const ColourTable& night) {
    QPalette p;
    const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive,
                                           QPalette::Disabled};
    for (QPalette::ColorGroup group : groups) {
        for (const RoleSource& r : kRoles)
            p.setColor(group, r.role, toColor(night[r.index]));
    }
    for (QPalette::ColorRole role : kDisabledText)
        p.setColor(QPalette::Disabled, role, toColor(night[SysColour::GrayText]));
    return p;
}

#ifdef Q_OS_WIN

namespace {

void setSystemColours(const ColourRefTable& colours) {
    INT indices[kSystemColourCount];
    COLORREF values[kSystemColourCount];
    for (int i = 0; i < kSystemColourCount; ++i) {
        indices[i] = i;
        values[i] = colours[i];
    }
    // One call for all 29, so the desktop repaints once.
    SetSysColors(kSystemColourCount, indices, values);
}

} // namespace

void NightVision::prepare() {
    m_night = nightColours();
    for (int i = 0; i < kSystemColourCount; ++i)
        m_savedColours[i] = GetSysColor(i);
    m_saved = true;
}

void NightVision::nightOn() {
    ColourRefTable refs{};
    for (int i = 0; i < kSystemColourCount; ++i)
        refs[i] = colourRef(m_night[i]);
    setSystemColours(refs);
    m_on = true;
}

void NightVision::nightOff() {
    if (m_saved)
        setSystemColours(m_savedColours);
    m_on = false;
}

#else

void NightVision::prepare() {
    m_night = nightColours();
    m_savedPalette = QApplication::palette();
    m_savedToolTipPalette = QToolTip::palette();
    m_saved = true;
}

void NightVision::nightOn() {
    const QPalette night = nightPalette(m_night);
    QApplication::setPalette(night);
    QToolTip::setPalette(night);
    m_on = true;
}

void NightVision::nightOff() {
    if (m_saved) {
        QApplication::setPalette(m_savedPalette);
        QToolTip::setPalette(m_savedToolTipPalette);
    }
    m_on = false;
}

#endif

} // namespace corvane
