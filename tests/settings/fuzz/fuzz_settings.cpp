// libFuzzer target: arbitrary bytes as a settings file read through the real
// file path, and as a line and delimiter for the splitter.

#include "host/AppInfo.h"
#include "host/HostError.h"
#include "settings/SettingsFile.h"
#include "settings/SplitSettingLine.h"

#include "Files.h"
#include "SettingsControlsFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace bas_QVanto;

namespace {

// The controls and program folder, reused from one input to the next.
struct Harness {
    Harness()
    {
        if (!folder.isValid())
            std::abort();
        app.Path = QDir::toNativeSeparators(folder.path());
        app.EXEName = QStringLiteral("qvanto");
    }

    void resetControls()
    {
        window.show(QStringList(4, QStringLiteral("row")), QStringList(4, QStringLiteral("face")), 255, 0);
    }

    QTemporaryDir folder;
    host::AppInfo app;
    support::SettingsControlsFixture window;
};

Harness &harness()
{
    // Widgets need an application, made before them on the offscreen platform.
    // Both live until the process ends; the run script removes the folder.
    static Harness *h = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_settings";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv);
        return new Harness;
    }();
    return *h;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void fuzzLoader(Harness &h, const QByteArray &bytes)
{
    check(support::writeBytes(SettingsPath(h.app), bytes));
    h.resetControls();
    SplitState splitter;
    LoadSettings(h.app, h.window.controls, splitter);
    const int qvid = h.window.qvid.Value();
    check(qvid >= 0 && qvid <= 2);
    SaveSettings(h.app, h.window.controls);
}

// First byte: bits 0-1 the delimiter's length in bytes, bit 2 a long filler
// before the line so that short inputs reach the 16-bit position limit.
void fuzzSplitter(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const auto flags = static_cast<unsigned char>(bytes[0]);
    const qsizetype delimiterBytes = flags & 3;
    QString delimiter = QString::fromUtf8(bytes.mid(1, delimiterBytes));
    QString line = QString::fromUtf8(bytes.mid(1 + delimiterBytes));
    if (flags & 4)
        line.prepend(QString(32700, QLatin1Char('x')));

    SplitState state;
    QStringList fields;
    QString none;
    try {
        fields << SplitSettingLine(state, line, delimiter);
    } catch (const host::HostError &error) {
        check(error.code() == host::HostError::Overflow);
        check(line.size() >= 32767); // only long lines reach the 16-bit limit
        return;
    }
    for (int call = 0; call < 22; ++call)
        fields << SplitSettingLine(state, {}, none);

    check(line.isEmpty() || !delimiter.isEmpty());
    check(state.SplitCursor == 20);
    bool ended = false;
    for (const QString &field : fields) {
        ended = ended || field.isEmpty();
        check(field.isEmpty() == ended); // no field after the end
        check(field == QStringLiteral(" ")
            || (!field.startsWith(QLatin1Char(' ')) && !field.endsWith(QLatin1Char(' '))));
    }
    check(fields.size() - fields.count(QString()) <= 20);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Harness &h = harness();
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    fuzzLoader(h, bytes);
    fuzzSplitter(bytes);
    return 0;
}
