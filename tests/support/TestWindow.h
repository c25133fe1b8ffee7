#pragma once

// The whole window on fake seams, started in a program folder the test
// chooses, so that a second window can start where the first one left its
// settings and log. A test may put a real clipboard or sound player in place
// of the fakes.
#include "app/frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/PictureBox.h"

#include "Files.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeServices.h"

#include <QDir>
#include <QImage>

#include <memory>

namespace hardening {

using support::readBytes;
using support::writeBytes;

// Seams the window uses instead of the fakes; null keeps a fake.
struct RealSeams {
    host::Clipboard *clipboard = nullptr;
    host::SoundPlayer *sound = nullptr;
};

struct TestWindow {
    explicit TestWindow(const QString &folder,
        const QDateTime &now = QDateTime(QDate(2027, 1, 1), QTime(10, 0)),
        QStringList fontNames = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAMincho")})
        : TestWindow(programIn(folder), now, std::move(fontNames))
    {
    }
    // Started with the places (Path, DataPath, FilesKept) of `where`.
    explicit TestWindow(const host::AppInfo &where,
        const QDateTime &now = QDateTime(QDate(2027, 1, 1), QTime(10, 0)),
        QStringList fontNames = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAMincho")},
        RealSeams real = {})
        : clock(now), app(where), fonts(std::move(fontNames))
    {
        app.Title = QStringLiteral("QVanto");
        app.Major = 1;
        app.Minor = 1;
        app.Revision = 9;
        app.EXEName = QStringLiteral("qvanto");
        window = std::make_unique<frm_QVanto>(host::Services {clock, app, fonts, messages,
            real.clipboard ? *real.clipboard : clipboard, real.sound ? *real.sound : sound, opener});
        window->Form_Load();
    }

    const app::Controls &c() const { return window->controls(); }
    QImage face() const { return c().Picture1->Image(); }
    // What closing the window does to the stored files.
    void close()
    {
        qint16 cancel = 0;
        window->Form_Unload(cancel);
    }
    QString iniPath() const { return app.dataFile(QStringLiteral("qvanto.ini")); }
    QString logPath() const { return app.dataFile(QStringLiteral("qvanto.log")); }

    static host::AppInfo programIn(const QString &folder)
    {
        host::AppInfo where;
        where.Path = QDir::toNativeSeparators(folder);
        return where;
    }

    fakes::FakeClock clock;
    host::AppInfo app;
    fakes::FakeFontList fonts;
    fakes::FakeMessageBox messages;
    fakes::FakeClipboard clipboard;
    fakes::FakeSoundPlayer sound;
    fakes::FakeFileOpener opener;
    std::unique_ptr<frm_QVanto> window;
};

// Pixels that are not the white of a cleared face.
inline int inkPixels(const QImage &face)
{
    int count = 0;
    const QImage rgb = face.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (line[x] & 0xFFFFFF) != 0xFFFFFF;
    }
    return count;
}

} // namespace hardening
