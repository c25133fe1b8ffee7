#pragma once

#include <QImage>

namespace host {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void Clear() = 0;
    // Stores a picture; other programs receive it as a bitmap. When `png` is
    // given, programs that ask for PNG receive those bytes instead (a stamp
    // with a transparent background), while the bitmap stays as it is.
    virtual void SetData(const QImage &picture, const QByteArray &png = {}) = 0;
};

class QtClipboard final : public Clipboard {
public:
    void Clear() override;
    void SetData(const QImage &picture, const QByteArray &png = {}) override;
};

} // namespace host
