#pragma once

#include "config/SettingLists.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace corvane {

// What a settings readback shows on the page. An empty optional leaves its
// control as it was.
struct SettingsView {
    // Indexed by SettingList: a code of the list, empty to empty the list,
    // or for the gear ratio any ratio read back.
    std::optional<SettingValue> list[kSettingListCount];
    // Indexed by NumberSetting: the box's number.
    std::optional<int> number[kNumberSettingCount];
    // Captions of the three guide-rate option buttons of the guiding page.
    std::optional<QString> rateCaption[3];

    // The text the control is to show.
    std::optional<QString> operator[](SettingList l) const;
    std::optional<QString> operator[](NumberSetting n) const;
};

// The controller answers the settings query with a fixed-length dump of raw
// bytes, cut out by position; bytes beyond the end of a short reception are
// missing.
//
// A missing byte matches no code: a finishing direction or the guide rate
// then stays as it was, a speed or the tracking rate is emptied, orientation
// and rotation read "Left" and "Original". Two-byte numbers are signed, low
// byte first (FF FF is -1).
//
// Each decoder handles the settings in its own fixed order and stops at the
// first number with a byte that did not arrive (a reception cut short
// there): what it decoded before keeps its new value, the rest stays as it
// was. A two-byte number is never shown from its low byte alone. Bytes beyond
// the layout are ignored.

// Controllers up to firmware 3.56: 16 bytes, one-byte gear, worm and wheel
// numbers, and the DEC worm ratio. Sets only the first rate button's caption.
SettingsView decodeSettingsDump(const QByteArray& dump);

// Later controllers: 18 bytes, two-byte numbers, no DEC worm ratio. The
// second and third rate buttons take the 8X and 16X paddle speeds' texts.
SettingsView decodeSplitSettingsDump(const QByteArray& dump);

} // namespace corvane
