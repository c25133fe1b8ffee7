#include "WindowIcon.h"

#include "host/FontResolver.h"

#include <QPainter>
#include <cmath>

QImage WindowIconImage(int sizePx)
{
    QImage image(sizePx, sizePx, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor red(0xE0, 0, 0);
    const double s = sizePx;
    const double pen = qMax(1.0, s / 24);
    const double r = s / 2 - pen;
    const QPointF centre(s / 2, s / 2);
    p.setPen(QPen(red, pen));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    const double band = r * 0.8;
    // The lines end on the circle: half the chord at the band's edge.
    const double half = std::sqrt(r * r - band * band / 4);
    for (double y : {centre.y() - band / 2, centre.y() + band / 2})
        p.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));

    QFont font = host::FontResolver::shared().widgetFont(QStringLiteral("ＭＳ Ｐゴシック"), 12, true);
    p.setPen(red);
    auto write = [&](const QString &text, double top, double height) {
        font.setPixelSize(qMax(4, int(height * 0.8)));
        p.setFont(font);
        p.drawText(QRectF(0, top, s, height), Qt::AlignCenter, text);
    };
    write(QStringLiteral("会社"), centre.y() - r * 0.75, r * 0.35);
    write(QStringLiteral("日付"), centre.y() - band / 2, band);
    write(QStringLiteral("印"), centre.y() + band / 2 + r * 0.05, r * 0.4);
    return image;
}

QIcon WindowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addPixmap(QPixmap::fromImage(WindowIconImage(size)));
    return icon;
}
