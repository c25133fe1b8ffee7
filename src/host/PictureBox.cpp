#include "PictureBox.h"

#include "Units.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
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
    // On the border only, so the face on screen stays the face that is copied.
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), ImageSurface::kBorderPx, Qt::SolidLine,
            Qt::SquareCap, Qt::MiterJoin));
        const double inset = ImageSurface::kBorderPx / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
}

bool PictureBox::event(QEvent *event)
{
    // The platform turns the Menu key into a context-menu request at the
    // pointer; for the keyboard the menu belongs to the face, not the pointer.
    if (event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        emit MenuKey();
        return true;
    }
    return QFrame::event(event);
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)
        emit MenuKey();
    else
        QFrame::keyPressEvent(event);
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
