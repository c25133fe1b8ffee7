#include "PdfPageView.h"

#include <QMouseEvent>
#include <QPainter>

namespace app {

namespace {
constexpr double kMmPerInch = 25.4;
} // namespace

PdfPageView::PdfPageView(
    pdf::PdfDocument &document, const QImage &face, double circleFraction, double sizeMm, QWidget *parent)
    : QWidget(parent), m_document(document), m_face(face), m_circleFraction(circleFraction), m_sizeMm(sizeMm)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    showPage(1);
}

double PdfPageView::pxPerMm() const
{
    return logicalDpiX() / kMmPerInch;
}

void PdfPageView::showPage(int page)
{
    m_page = page;
    // Drawn at the device's pixels, shown at the screen's logical size.
    const qreal ratio = devicePixelRatioF();
    m_pageImage = m_document.renderPage(page, logicalDpiX() * ratio);
    m_pageImage.setDevicePixelRatio(ratio);
    setFixedSize((m_document.pageSizeMm(page) * pxPerMm()).toSize());
    update();
}

QPointF PdfPageView::toMm(const QPointF &point) const
{
    return point / pxPerMm();
}

void PdfPageView::drawStamp(QPainter &painter, const QPointF &centreMm, qreal opacity) const
{
    const double side = m_sizeMm / m_circleFraction * pxPerMm();
    // Scaled once, smoothly: the print picture's thin strokes would break up
    // if the painter shrank it on every move.
    const int sidePx = qRound(side * devicePixelRatioF());
    if (m_screenFace.width() != sidePx) {
        m_screenFace = m_face.scaled(sidePx, sidePx, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_screenFace.setDevicePixelRatio(devicePixelRatioF());
    }
    const QPointF centre = centreMm * pxPerMm();
    painter.setOpacity(opacity);
    painter.drawImage(QPointF(centre.x() - side / 2, centre.y() - side / 2), m_screenFace);
    painter.setOpacity(1);
}

void PdfPageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPointF(0, 0), m_pageImage);
    if (m_placement && m_placement->page == m_page)
        drawStamp(painter, QPointF(m_placement->xMm, m_placement->yMm), 1);
    if (m_mouseMm)
        drawStamp(painter, *m_mouseMm, 0.5);
}

void PdfPageView::mouseMoveEvent(QMouseEvent *event)
{
    m_mouseMm = toMm(event->position());
    update();
}

void PdfPageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF mm = toMm(event->position());
    m_placement = pdf::StampPlacement {m_page, mm.x(), mm.y(), m_sizeMm};
    update();
    emit placed();
}

void PdfPageView::leaveEvent(QEvent *)
{
    m_mouseMm.reset();
    update();
}

} // namespace app
