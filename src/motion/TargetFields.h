#pragma once

#include "motion/Coordinates.h"

#include <QString>
#include <optional>

namespace corvane {

// The four target fields and their text forms:
//   Hours       "07"    00..23
//   Minutes     "05.5"  00.0..59.9, always with "." as separator
//   DecDegrees  "+05"   -99..+99, always signed
//   DecMinutes  "08"    00..59, whole minutes, never signed
enum class TargetField { Hours, Minutes, DecDegrees, DecMinutes };

// Text a field holds before anything was entered.
QString initialFieldText(TargetField field);

// Position of the first character outside the field's allowed set, or -1.
int firstInvalidCharacter(TargetField field, const QString& text);

// Whether the leading number of a text lies in the field's range. DEC minutes
// that would show as 60 (59.5 and above) are out of range: the field shows
// whole minutes and the controller takes 00..59 only.
bool inFieldRange(TargetField field, const QString& text);

// The leading number re-formatted to the field's form ("00" or "00.0"), with
// the sign completion of DEC degrees: a missing sign becomes "+", and a typed
// minus is kept even when the degrees read as zero ("-0" becomes "-00", a
// declination between 0 and -1 degree).
QString formatField(TargetField field, const QString& text);

// Minutes typed with a decimal comma: "12,5" becomes "12.5". The text is
// rebuilt from its first two characters, "." and its last character whenever
// its third character is ",".
QString applyDecimalComma(const QString& text);

// Whether a text is in the field's form (and range): "07", "05.5", "+05",
// "08". Only such texts are ever accepted, restored or remembered.
bool isFieldForm(TargetField field, const QString& text);

// What leaving a field does to its text.
struct FieldCheck {
    QString text;          // the field's final text (also its new remembered text)
    bool rejected = false; // "Invalid Entry" is to be shown (once)
};

// Checks the characters and the range of a field's text; a rejected text is
// replaced as a whole by the remembered one. The result is always in form:
// a remembered text that cannot be brought into form (out of range, signed
// minutes, written there by another part of the program) gives way to the
// field's initial text, so the field never keeps a value the controller
// cannot take.
FieldCheck checkField(TargetField field, const QString& text, const QString& remembered);

// True when a declination degree text carries a minus sign ("-05", "-00").
// Zero degrees south is told apart from zero degrees north by the sign alone.
bool isSouthDeclination(const QString& degreeText);

// The target as its four fields show it, in their text forms.
struct TargetFieldTexts {
    QString hours;      // "05"
    QString minutes;    // "34.5"
    QString degrees;    // "+45"
    QString decMinutes; // "30"
};
TargetFieldTexts fieldTexts(const BoardPosition& target);

// The target with one field's text taken in; nothing when the text is not in
// the field's form.
std::optional<BoardPosition> withField(const BoardPosition& target, TargetField field,
                                       const QString& text);
// A target written as four field texts (a catalogue record, a planet);
// nothing unless each is in its field's form.
std::optional<BoardPosition> targetFromFields(const TargetFieldTexts& texts);

} // namespace corvane
