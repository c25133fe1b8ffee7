#include "settings/SettingsFile.h"

#include "host/AppInfo.h"
#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/Conversions.h"
#include "host/HostError.h"
#include "host/PrivateFolder.h"
#include "host/SafeWriter.h"
#include "host/SystemCodec.h"
#include "host/TextBox.h"
#include "settings/AdminPreset.h"
#include "settings/OwnSettingsFile.h"
#include "settings/RewriteInPlace.h"
#include "settings/SettingsLines.h"

#include <QFileInfo>

#include <fcntl.h>

namespace bas_QVanto {

namespace {

constexpr QStringView kLabelKeys[] = {u"label0", u"label1", u"label2", u"label3"};

// A text option's value: the rest of its line after the key's comma, so a
// path or address keeps its commas and its length (the splitter would end
// it at the next comma and cut it at 64 characters).
QString wholeValue(const QString &line, SplitState &splitter)
{
    QString unusedDelimiter;
    const qsizetype comma = line.indexOf(u',');
    // The splitter gives one space for a value left empty.
    const QString value = comma < 0 ? SplitSettingLine(splitter, {}, unusedDelimiter) : line.mid(comma + 1);
    return value.trimmed();
}

// Applies one line. The line is split once; an empty line is not split, so
// its key is the next unread field of the line before it.
void applyLine(const QString &line, SettingsControls &controls, SplitState &splitter)
{
    QString delimiter = QStringLiteral(",");
    QString unusedDelimiter; // continuation calls ignore it
    const QString key = SplitSettingLine(splitter, line, delimiter).toLower();
    for (int n = 0; n < 4; ++n) {
        if (key == kLabelKeys[n]) {
            controls.QVLabel[n]->SetText(SplitSettingLine(splitter, {}, unusedDelimiter));
            controls.cmbFontName[n]->SetText(SplitSettingLine(splitter, {}, unusedDelimiter));
            return;
        }
    }
    if (key == QLatin1String("color")) {
        controls.InkColor = host::toLong(SplitSettingLine(splitter, {}, unusedDelimiter));
    } else if (key == QLatin1String("qvid")) {
        controls.chkQVID.SetValue(host::toInteger(SplitSettingLine(splitter, {}, unusedDelimiter)));
    } else {
        if (controls.options)
            for (SettingsOption &option : *controls.options)
                if (key == option.key) {
                    option.value = host::toLong(SplitSettingLine(splitter, {}, unusedDelimiter));
                    return;
                }
        if (controls.texts)
            for (SettingsText &text : *controls.texts)
                if (key == text.key) {
                    text.value = wholeValue(line, splitter);
                    return;
                }
    }
}

// Settings are a convenience: any failure keeps what was applied so far and
// the defaults for the rest, without a word to the user.
void loadFrom(int descriptor, SettingsControls &controls, SplitState &splitter)
{
    try {
        SettingsLines lines(descriptor);
        while (!lines.atEnd())
            applyLine(lines.readLine(), controls, splitter);
    } catch (const std::exception &) {
    }
}

QString settingsText(const SettingsControls &controls)
{
    static const QString kEnd = QStringLiteral("\r\n");
    QString text;
    for (int n = 0; n < 4; ++n) {
        // Texts go out as the controls hold them, commas included: the file
        // has no quoting, and loading reads what fits.
        text += kLabelKeys[n].toString() + QLatin1Char(',') + controls.QVLabel[n]->Text() + QLatin1Char(',')
            + controls.cmbFontName[n]->Text() + kEnd;
    }
    text += QStringLiteral("color,") + host::printNumber(controls.InkColor) + kEnd;
    text += QStringLiteral("qvid,") + host::printNumber(controls.chkQVID.Value()) + kEnd;
    if (controls.options)
        for (const SettingsOption &option : *controls.options)
            if (option.value != option.defaultValue)
                text += option.key + QLatin1Char(',') + host::printNumber(option.value) + kEnd;
    if (controls.texts)
        for (const SettingsText &option : *controls.texts)
            // A line break in the value would end its line and begin another.
            if (!option.value.isEmpty() && !option.value.contains(u'\r') && !option.value.contains(u'\n'))
                text += option.key + QStringLiteral(", ") + option.value + QLatin1Char(' ') + kEnd;
    return text;
}

} // namespace

QString SettingsPath(const host::AppInfo &app)
{
    return app.dataFile(app.EXEName + QStringLiteral(".ini"));
}

void LoadSettings(const host::AppInfo &app, SettingsControls &controls, SplitState &splitter)
{
    const QString own = SettingsPath(app);
    if (nothingAt(own))
        loadFrom(
            openAdminPreset(app.fileBesideProgram(app.EXEName + QStringLiteral(".ini"))), controls, splitter);
    else
        LoadSettingsFile(own, controls, splitter);
}

void SaveSettings(const host::AppInfo &app, const SettingsControls &controls)
{
    SaveSettingsFile(SettingsPath(app), controls);
}

void LoadSettingsFile(const QString &path, SettingsControls &controls, SplitState &splitter)
{
    loadFrom(openOwnSettingsFile(followOwnLink(path), O_RDONLY), controls, splitter);
}

void SaveSettingsFile(const QString &linkOrFile, const SettingsControls &controls)
{
    const QString path = followOwnLink(linkOrFile);
    try {
        // No folder to keep files in: nothing is written anywhere.
        if (path.isEmpty() || !maySaveOver(path))
            return;
        const QByteArray bytes = host::encodeSystemText(settingsText(controls));
        if (host::isWritableFolder(QFileInfo(path).path())) {
            removeUnfinishedCopies(path);
            // The new file replaces the old one only once it is complete, so
            // a full disk or a kill leaves the last good settings in place.
            host::writeFileSafely(path, bytes);
        } else {
            rewriteInPlace(path, bytes);
        }
    } catch (const std::exception &) {
    }
}

} // namespace bas_QVanto
