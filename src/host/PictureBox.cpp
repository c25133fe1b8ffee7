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
    QPainter painter(this);
    painter.drawImage(QPoint(ImageSurface::kBorderPx, ImageSurface::kBorderPx), m_surface.image());
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
