#include "periphery/NightColours.h"

namespace corvane {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kDark{64, 0, 0};
constexpr Rgb kMid{128, 0, 0};
constexpr Rgb kBright{255, 0, 0};
constexpr Rgb kGrey{128, 128, 128};

const ColourTable kNight = {
    kDark,   // 0 scroll bar
    kBlack,  // 1 desktop background
    kDark,   // 2 active caption
    kBlack,  // 3 inactive caption
    kMid,    // 4 menu
    kMid,    // 5 window
    kBlack,  // 6 window frame
    kBlack,  // 7 menu text
    kBright, // 8 window text
    kBright, // 9 caption text
    kMid,    // 10 active border
    kDark,   // 11 inactive border
    kBlack,  // 12 application workspace
    kMid,    // 13 highlight
    kBlack,  // 14 highlight text
    kMid,    // 15 button face
    kBlack,  // 16 button shadow
    kGrey,   // 17 grey text
    kBlack,  // 18 button text
    kMid,    // 19 inactive caption text
    kBright, // 20 button highlight
    kBlack,  // 21 3-D dark shadow
    kBlack,  // 22 3-D light
    kBright, // 23 tooltip text
    kMid,    // 24 tooltip background
    kMid,    // 25 without a defined use
    kMid,    // 26 hot-tracked item
    kDark,   // 27 active caption gradient
    kBlack,  // 28 inactive caption gradient
};

} // namespace

const ColourTable& nightColours() {
    return kNight;
}

ColourRefTable nightColourRefs() {
    ColourRefTable out{};
    for (int i = 0; i < kSystemColourCount; ++i)
        out[i] = colourRef(kNight[i]);
    return out;
}

} // namespace corvane
