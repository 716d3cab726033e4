#pragma once

#include "config/SettingLists.h"

#include <QString>
#include <optional>

namespace corvane {

// What a settings readback shows on the page. An empty optional leaves its
// control as it was.
struct SettingsView {
    // Indexed by SettingList: the text to show, an entry of the list, "" to
    // empty the list's text, or for the gear ratio the decimal text of a
    // number that is none of the presets.
    std::optional<QString> list[kSettingListCount];
    // Indexed by NumberSetting: the decimal text for the box.
    std::optional<QString> number[kNumberSettingCount];
    // Captions of the three guide-rate option buttons of the guiding page.
    std::optional<QString> rateCaption[3];

    std::optional<QString>& operator[](SettingList l) { return list[static_cast<int>(l)]; }
    const std::optional<QString>& operator[](SettingList l) const {
        return list[static_cast<int>(l)];
    }
    std::optional<QString>& operator[](NumberSetting n) { return number[static_cast<int>(n)]; }
    const std::optional<QString>& operator[](NumberSetting n) const {
        return number[static_cast<int>(n)];
    }
};

// The controller answers the settings query with a fixed-length dump,
// received in hex form: each byte as two upper-case hex digits and a blank
// ("50 0F 20 ..."). Bytes are cut out by position, byte k at characters 3k
// and 3k+1; bytes beyond the end of a short reception are empty.
//
// Codes are compared as hex texts, so an empty or odd byte matches no code:
// a finishing direction or the guide rate then stays as it was, a speed or
// the tracking rate is emptied, orientation and rotation read "Left" and
// "Original". Two-byte numbers are signed, low byte first (FF FF is -1).
//
// Each decoder handles the settings in its own fixed order and stops at the
// first number with a byte that did not arrive whole (a reception cut short
// there, or a byte that is not two hex digits): what it decoded before keeps
// its new value, the rest stays as it was. A two-byte number is never shown
// from its low byte alone. Bytes beyond the layout are ignored.

// Controllers up to firmware 3.56: 16 bytes, one-byte gear, worm and wheel
// numbers, and the DEC worm ratio. Sets only the first rate button's caption.
SettingsView decodeSettingsDump(const QString& hexText);

// Later controllers: 18 bytes, two-byte numbers, no DEC worm ratio. The
// second and third rate buttons take the 8X and 16X paddle speeds' texts.
SettingsView decodeSplitSettingsDump(const QString& hexText);

} // namespace corvane
