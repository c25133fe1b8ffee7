#pragma once

#include "render/DateStyle.h"
#include "settings/SettingsFile.h"

#include <vector>

namespace app {

// How stamps leave the program, beyond what the face on screen shows. The
// defaults are the program's long-standing behaviour.
struct StampOptions {
    int pixelScale = 1; // 1 to 4 times the face's pixels
    bool transparent = false; // PNG with the ink alone, besides the white bitmap
    render::DateStyle dateStyle = render::DateStyle::Western;

    bool isDefault() const
    {
        return pixelScale == 1 && !transparent && dateStyle == render::DateStyle::Western;
    }

    // As kept in the settings file; values out of range read as the default.
    std::vector<bas_QVanto::SettingsOption> toSettings() const;
    static StampOptions fromSettings(const std::vector<bas_QVanto::SettingsOption> &options);
};

} // namespace app
