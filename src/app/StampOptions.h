#pragma once

#include "render/DateStyle.h"
#include "render/SealKind.h"
#include "settings/SettingsFile.h"

#include <vector>

namespace app {

// How stamps leave the program, beyond what the face on screen shows. The
// defaults are the program's long-standing behaviour.
struct StampOptions {
    int pixelScale = 1; // 1 to 4 times the face's pixels
    bool transparent = false; // PNG with the ink alone, besides the white bitmap
    render::DateStyle dateStyle = render::DateStyle::Western;
    // The stamp's circle across, in millimetres, when placed at 100 %; 0
    // leaves pictures at 96 dpi per 1x, as they always were.
    int stampMm = 0;
    render::SealKind kind = render::SealKind::Date;

    static constexpr int kMinStampMm = 10;
    static constexpr int kMaxStampMm = 40;

    bool isDefault() const
    {
        return pixelScale == 1 && !transparent && dateStyle == render::DateStyle::Western && stampMm == 0
            && kind == render::SealKind::Date;
    }

    // The size the seal is made in: the one set, or its kind's own.
    int sizeMm() const { return stampMm > 0 ? stampMm : render::DefaultSealMm(kind); }

    // As kept in the settings file; values out of range read as the default.
    std::vector<bas_QVanto::SettingsOption> toSettings() const;
    static StampOptions fromSettings(const std::vector<bas_QVanto::SettingsOption> &options);
};

// The stamp size kept in the settings, in millimetres; 0 when none is set.
int StampSizeMm(const std::vector<bas_QVanto::SettingsOption> &options);

} // namespace app
