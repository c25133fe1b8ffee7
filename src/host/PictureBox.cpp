#include "PictureBox.h"

#include "Units.h"

#include <QMouseEvent>
#include <QPainter>

namespace host {

PictureBox::PictureBox(double outerWidthTwips, double outerHeightTwips, QWidget *parent)
    : QFrame(parent), m_surface(outerWidthTwips, outerHeightTwips)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(ImageSurface::kBorderPx);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_surface.pixelScale() != devicePixelRatioF()) {
        // Asked after this paint, so the new face is not drawn inside it.
        QMetaObject::invokeMethod(this, &PictureBox::ScreenChange, Qt::QueuedConnection);
    }
    QPainter painter(this);
    const QImage &image = m_surface.image();
    // The image's device pixels fill the drawing area's logical pixels.
    const QSizeF logical = QSizeF(image.size()) / m_surface.pixelScale();
    painter.drawImage(QRectF(QPointF(ImageSurface::kBorderPx, ImageSurface::kBorderPx), logical), image,
        QRectF(image.rect()));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: return;
    }
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= 1;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= 2;
    if (event->modifiers() & Qt::AltModifier)
        shift |= 4;
    const QPointF p = event->position() - QPointF(ImageSurface::kBorderPx, ImageSurface::kBorderPx);
    emit MouseDown(button, shift, float(pxToTwips(p.x())), float(pxToTwips(p.y())));
}

} // namespace host
