#pragma once

#include "host/Clipboard.h"
#include "host/FileOpener.h"
#include "host/FontList.h"
#include "host/MessageBox.h"
#include "host/SoundPlayer.h"

#include <QStringList>
#include <vector>

namespace fakes {

class FakeMessageBox final : public host::MessageBox {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
    };
    void show(const QString &text, const QString &caption, Icon icon) override
    {
        shown.push_back({text, caption, icon});
    }
    std::vector<Shown> shown;
};

class FakeSoundPlayer final : public host::SoundPlayer {
public:
    struct Call {
        QString name;
        quint32 flags;
    };
    bool play(const QString &name, quint32 flags) override
    {
        calls.push_back({name, flags});
        return result;
    }
    std::vector<Call> calls;
    bool result = true;
};

class FakeClipboard final : public host::Clipboard {
public:
    void Clear() override
    {
        ++clears;
        picture = QImage();
    }
    void SetData(const QImage &image, const QByteArray &pngBytes) override
    {
        picture = image;
        png = pngBytes;
    }
    int clears = 0;
    QImage picture;
    QByteArray png;
};

class FakeFileOpener final : public host::FileOpener {
public:
    bool open(const QString &path) override
    {
        opened.push_back(path);
        return true;
    }
    QStringList opened;
};

class FakeFontList final : public host::FontList {
public:
    explicit FakeFontList(QStringList names = {}) : names(std::move(names)) { }
    QStringList families() const override { return names; }
    QStringList names;
};

} // namespace fakes
