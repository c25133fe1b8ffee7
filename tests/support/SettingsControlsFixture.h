#pragma once

// The window's part in the settings, on real controls: four rows with their
// faces, the ink and the number switch, as the settings file loads and saves
// them. Shared by the settings file's tests and its fuzz target.
#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/TextBox.h"
#include "settings/SettingsFile.h"

#include <QStringList>

#include <array>

namespace support {

struct SettingsControlsFixture {
    void show(const QStringList &rows, const QStringList &faces, qint32 inkShown, int qvidShown)
    {
        for (int n = 0; n < 4; ++n) {
            labels[n].SetText(rows[n]);
            fonts[n].SetText(faces[n]);
        }
        ink = inkShown;
        qvid.SetValue(qvidShown);
    }
    template<typename Control>
    static QStringList texts(const std::array<Control, 4> &controls)
    {
        QStringList all;
        for (const Control &control : controls)
            all << control.Text();
        return all;
    }

    std::array<host::TextBox, 4> labels;
    std::array<host::ComboBox, 4> fonts;
    host::CheckBox qvid;
    qint32 ink = 255;
    bas_QVanto::SettingsControls controls {{&labels[0], &labels[1], &labels[2], &labels[3]},
        {&fonts[0], &fonts[1], &fonts[2], &fonts[3]}, ink, qvid};
};

} // namespace support
