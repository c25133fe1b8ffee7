#pragma once

#include <QImage>

namespace host {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void Clear() = 0;
    // Stores a picture; other programs receive it as a bitmap.
    virtual void SetData(const QImage &picture) = 0;
};

class QtClipboard final : public Clipboard {
public:
    void Clear() override;
    void SetData(const QImage &picture) override;
};

} // namespace host
