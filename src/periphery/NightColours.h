#pragma once

#include <QtGlobal>
#include <array>

namespace corvane {

// The dark red night scheme, one colour for each of the 29 system display
// colours (indices 0 to 28 of the Windows system colour table).
constexpr int kSystemColourCount = 29;

namespace SysColour {
enum Index {
    ScrollBar = 0,
    Desktop = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
    Unused25 = 25,
    HotLight = 26,
    ActiveCaptionGradient = 27,
    InactiveCaptionGradient = 28,
};
} // namespace SysColour

struct Rgb {
    quint8 r = 0;
    quint8 g = 0;
    quint8 b = 0;
    friend bool operator==(const Rgb& a, const Rgb& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }
};

using ColourTable = std::array<Rgb, kSystemColourCount>;
using ColourRefTable = std::array<quint32, kSystemColourCount>;

// The fixed night colours, entry i for system colour index i.
const ColourTable& nightColours();

// The platform's 32-bit colour value: red in the lowest byte, then green and
// blue.
constexpr quint32 colourRef(Rgb c) {
    return quint32(c.r) | (quint32(c.g) << 8) | (quint32(c.b) << 16);
}
constexpr Rgb fromColourRef(quint32 v) {
    return {quint8(v & 0xFF), quint8((v >> 8) & 0xFF), quint8((v >> 16) & 0xFF)};
}
ColourRefTable nightColourRefs();

} // namespace corvane
