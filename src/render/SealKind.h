#pragma once

namespace render {

// The kinds of seal an office uses; the number is what the settings keep.
enum class SealKind {
    Date = 0, // 日付印: the dated stamp, rows in bands
    Square = 1, // 角印: the company's square seal
    Round = 2, // 認印: a person's small round seal
    Title = 3, // 役職印: a double circle, the company around the rim
};
inline constexpr int kSealKinds = 4;

// The size a kind is made in when the user has set none, in millimetres;
// 0 for the dated stamp, whose pictures keep 96 dpi per 1x.
constexpr int DefaultSealMm(SealKind kind)
{
    switch (kind) {
    case SealKind::Square: return 24;
    case SealKind::Round: return 12;
    case SealKind::Title: return 18;
    case SealKind::Date: break;
    }
    return 0;
}

} // namespace render
