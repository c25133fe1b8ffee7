#include "StampOptions.h"

namespace app {

namespace {
const QString kScale = QStringLiteral("scale");
const QString kTransparent = QStringLiteral("transparent");
const QString kDateStyle = QStringLiteral("datestyle");
const QString kStampMm = QStringLiteral("stampmm");
const QString kKind = QStringLiteral("kind");
} // namespace

std::vector<bas_QVanto::SettingsOption> StampOptions::toSettings() const
{
    return {{kScale, pixelScale, 1}, {kTransparent, transparent ? 1 : 0, 0},
        {kDateStyle, qint32(dateStyle), qint32(render::DateStyle::Western)}, {kStampMm, stampMm, 0},
        {kKind, qint32(kind), 0}};
}

StampOptions StampOptions::fromSettings(const std::vector<bas_QVanto::SettingsOption> &options)
{
    StampOptions result;
    for (const bas_QVanto::SettingsOption &option : options) {
        if (option.key == kScale && option.value >= 1 && option.value <= 4)
            result.pixelScale = option.value;
        else if (option.key == kTransparent && (option.value == 0 || option.value == 1))
            result.transparent = option.value == 1;
        else if (option.key == kDateStyle && option.value >= 0 && option.value <= 2)
            result.dateStyle = render::DateStyle(option.value);
        else if (option.key == kStampMm && option.value >= kMinStampMm && option.value <= kMaxStampMm)
            result.stampMm = option.value;
        else if (option.key == kKind && option.value >= 0 && option.value < render::kSealKinds)
            result.kind = render::SealKind(option.value);
    }
    return result;
}

int StampSizeMm(const std::vector<bas_QVanto::SettingsOption> &options)
{
    return StampOptions::fromSettings(options).stampMm;
}

} // namespace app
