#include "app/pdf/PdfPageView.h"

#include "app/pdf/InBackground.h"

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace app {

namespace {
constexpr double kMmPerInch = 25.4;
// The centre nearest to `mm` whose circle stays on the page; on a page
// narrower than the circle, its middle (saving then refuses it).
QPointF within(const QSizeF &pageMm, const QPointF &mm, double sizeMm)
{
    const auto clamp = [r = sizeMm / 2](double v, double side) {
        return side < 2 * r ? side / 2 : qBound(r, v, side - r);
    };
    return {clamp(mm.x(), pageMm.width()), clamp(mm.y(), pageMm.height())};
}
// A page drawn larger than this is drawn coarser: a page may claim to be
// metres wide, and its picture must still fit in memory.
constexpr double kMostPixels = 32e6;
// Arrow keys move the stamp this far, with Shift further.
constexpr double kStepMm = 1;
constexpr double kLargeStepMm = 10;
// One notch of the wheel with Ctrl zooms by this factor.
constexpr double kZoomStep = 1.25;
} // namespace

PdfPageView::PdfPageView(std::shared_ptr<pdf::PdfDocument> document, const QImage &face,
    double circleFraction, double sizeMm, QWidget *parent, std::chrono::milliseconds timeLimit)
    : QWidget(parent), m_face(face), m_circleFraction(circleFraction), m_sizeMm(sizeMm),
      m_document(std::move(document)), m_timeLimit(timeLimit)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { giveUp(m_generation); });
    showPage(1);
}

PdfPageView::~PdfPageView()
{
    if (m_stop)
        m_stop->store(true);
}

double PdfPageView::pxPerMm() const
{
    return logicalDpiX() / kMmPerInch * m_zoom;
}

std::optional<pdf::StampPlacement> PdfPageView::placement() const
{
    if (m_placements.empty())
        return std::nullopt;
    return m_placements.back();
}

void PdfPageView::setZoom(double zoom)
{
    zoom = qBound(kLeastZoom, zoom, kMostZoom);
    if (qFuzzyCompare(zoom, m_zoom))
        return;
    m_zoom = zoom;
    showPage(m_page); // drawn again for the new size; the old picture stays meanwhile
    emit zoomed();
}

double PdfPageView::zoomToFit(const QSize &area, bool widthOnly) const
{
    const QSizeF pageMm = m_document->pageSizeMm(m_page);
    const double realSize = logicalDpiX() / kMmPerInch;
    if (pageMm.isEmpty() || area.isEmpty())
        return m_zoom;
    const double byWidth = area.width() / (pageMm.width() * realSize);
    const double byHeight = area.height() / (pageMm.height() * realSize);
    return qBound(kLeastZoom, widthOnly ? byWidth : std::min(byWidth, byHeight), kMostZoom);
}

void PdfPageView::showPage(int page)
{
    if (page != m_page) {
        m_pageImage = QImage();
        m_mouseMm.reset();
    }
    m_page = page;
    // The page shown before is no longer wanted.
    if (m_stop)
        m_stop->store(true);
    m_stop = std::make_shared<std::atomic_bool>(false);
    const int generation = ++m_generation;
    m_message = QStringLiteral("ページを描いています…");
    const QSizeF pageMm = m_document->pageSizeMm(page);
    setFixedSize((pageMm * pxPerMm()).toSize());
    // Drawn at the device's pixels, shown at the screen's logical size.
    const qreal ratio = devicePixelRatioF();
    double dpi = logicalDpiX() * ratio * m_zoom;
    const double pixels = pageMm.width() * pageMm.height() * dpi * dpi / (kMmPerInch * kMmPerInch);
    if (pixels > kMostPixels)
        dpi *= std::sqrt(kMostPixels / pixels);

    ++m_drawing;
    m_pageDeadline = QDeadlineTimer(m_timeLimit);
    const QDeadlineTimer deadline = m_pageDeadline;
    RunInBackground<QImage>(
        this,
        [document = m_document, stop = m_stop, page, dpi, deadline] {
            return document->renderPage(
                page, dpi, [stop, deadline] { return stop->load() || deadline.hasExpired(); });
        },
        [this, generation, ratio](QImage image) {
            --m_drawing;
            image.setDevicePixelRatio(ratio);
            pageDrawn(generation, image);
        });
    // Poppler asks whether to stop only between drawing steps; one step
    // (a huge picture) can take long, so the view gives up by itself too.
    m_deadline.start(m_timeLimit);
    update();
}

void PdfPageView::pageDrawn(int generation, const QImage &image)
{
    if (generation == m_generation && !image.isNull()) {
        m_deadline.stop();
        m_pageImage = image;
        m_message.clear();
    } else if (generation == m_generation && m_deadline.isActive()) {
        m_deadline.stop();
        if (m_pageDeadline.hasExpired())
            giveUp(generation);
        else
            m_message = QStringLiteral("このページは描けませんでした。");
    }
    update();
    emit drawn();
}

void PdfPageView::giveUp(int generation)
{
    if (generation != m_generation || !m_pageImage.isNull())
        return;
    m_stop->store(true);
    m_message = QStringLiteral("このページは描くのに時間がかかりすぎるため、表示をあきらめました (%1 秒)。"
                               "印はこのページにも置けます。")
                    .arg(m_timeLimit.count() / 1000.0);
    update();
    emit drawn();
}

QPointF PdfPageView::toMm(const QPointF &point) const
{
    return point / pxPerMm();
}

QPointF PdfPageView::fromMm(const QPointF &mm) const
{
    return mm * pxPerMm();
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
    if (m_pageImage.isNull()) {
        painter.fillRect(rect(), QColor(235, 235, 235));
        painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap, m_message);
    } else {
        // Stretched while the page is drawn again at a new zoom.
        painter.drawImage(QRectF(rect()), m_pageImage);
    }
    for (const pdf::StampPlacement &p : m_placements)
        if (p.page == m_page)
            drawStamp(painter, QPointF(p.xMm, p.yMm), 1);
    if (m_mouseMm)
        drawStamp(painter, *m_mouseMm, 0.5);
    if (hasFocus() && m_mouseMm) {
        // Where Enter places the stamp.
        const double r = m_sizeMm / 2 * pxPerMm();
        painter.setPen(QPen(palette().highlight(), 1, Qt::DashLine));
        painter.drawEllipse(fromMm(*m_mouseMm), r, r);
    }
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
    setFocus(Qt::MouseFocusReason);
    placeOrRemoveAt(toMm(event->position()));
}

void PdfPageView::placeOrRemoveAt(const QPointF &at)
{
    // A stamp under the point is taken away, the last placed first.
    const auto under = std::find_if(m_placements.rbegin(), m_placements.rend(), [&](const auto &p) {
        return p.page == m_page && std::hypot(p.xMm - at.x(), p.yMm - at.y()) <= m_sizeMm / 2;
    });
    if (under != m_placements.rend()) {
        m_placements.erase(std::next(under).base());
    } else {
        const QPointF mm = within(m_document->pageSizeMm(m_page), at, m_sizeMm);
        m_placements.push_back({m_page, mm.x(), mm.y(), m_sizeMm});
    }
    update();
    emit placed();
}

void PdfPageView::keyPressEvent(QKeyEvent *event)
{
    const double step = event->modifiers() & Qt::ShiftModifier ? kLargeStepMm : kStepMm;
    QPointF move;
    switch (event->key()) {
    case Qt::Key_Left: move = {-step, 0}; break;
    case Qt::Key_Right: move = {step, 0}; break;
    case Qt::Key_Up: move = {0, -step}; break;
    case Qt::Key_Down: move = {0, step}; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_mouseMm)
            placeOrRemoveAt(*m_mouseMm);
        return;
    default: QWidget::keyPressEvent(event); return;
    }
    const QSizeF pageMm = m_document->pageSizeMm(m_page);
    // The first key press brings the stamp to the last one placed here, or
    // to the middle of the page.
    if (!m_mouseMm) {
        const auto here = std::find_if(
            m_placements.rbegin(), m_placements.rend(), [this](const auto &p) { return p.page == m_page; });
        m_mouseMm = here != m_placements.rend() ? QPointF(here->xMm, here->yMm)
                                                : QPointF(pageMm.width() / 2, pageMm.height() / 2);
        move = {};
    }
    m_mouseMm = within(pageMm, *m_mouseMm + move, m_sizeMm);
    update();
    emit movedTo(fromMm(*m_mouseMm).toPoint(), qRound(m_sizeMm / 2 * pxPerMm()));
}

void PdfPageView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore(); // the scroll area scrolls
        return;
    }
    const QPointF before = event->position();
    const QPointF mm = toMm(before);
    setZoom(m_zoom * std::pow(kZoomStep, event->angleDelta().y() / 120.0));
    emit zoomedAround(before, fromMm(mm));
    event->accept();
}

void PdfPageView::leaveEvent(QEvent *)
{
    m_mouseMm.reset();
    update();
}

} // namespace app
