#pragma once

#include <QString>
#include <array>

namespace bas_QVanto {

// The splitter's fields: the most recently split line, handed out one field
// per call. Owned by whoever loads settings; a fresh one starts empty.
struct SplitState {
    static constexpr int kSlots = 20;
    // Slot 0 is never used; slots 1 to 20 hold the fields.
    std::array<QString, kSlots + 1> SplitFields;
    qint16 SplitCount = 0;
    qint16 SplitCursor = 0;
};

// Splits `text` at `delimiter` (set to "," when empty) and returns its first
// field, or with an empty `text` returns the next field of the last line.
// Fields are trimmed of blanks (character 32 only); an empty field is " ", so
// "" always means no field is left. Only the last field is cut, to 64
// UTF-16 units before trimming (63 where the 64th would be half a
// character); at most 20 fields are kept.
// Positions are 16-bit: a delimiter found past character 32,767, or a field
// starting past it, raises HostError(Overflow) with the table partly filled.
QString SplitSettingLine(SplitState &state, const QString &text, QString &delimiter);

} // namespace bas_QVanto
