#include "app/pdf/PdfPageView.h"

#include "app/pdf/InBackground.h"

#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QPainter>

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
} // namespace

PdfPageView::PdfPageView(std::shared_ptr<pdf::PdfDocument> document, const QImage &face,
    double circleFraction, double sizeMm, QWidget *parent, std::chrono::milliseconds timeLimit)
    : QWidget(parent), m_face(face), m_circleFraction(circleFraction), m_sizeMm(sizeMm),
      m_document(std::move(document)), m_timeLimit(timeLimit)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
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
    return logicalDpiX() / kMmPerInch;
}

void PdfPageView::showPage(int page)
{
    m_page = page;
    // The page shown before is no longer wanted.
    if (m_stop)
        m_stop->store(true);
    m_stop = std::make_shared<std::atomic_bool>(false);
    const int generation = ++m_generation;
    m_pageImage = QImage();
    m_message = QStringLiteral("ページを描いています…");
    const QSizeF pageMm = m_document->pageSizeMm(page);
    setFixedSize((pageMm * pxPerMm()).toSize());
    // Drawn at the device's pixels, shown at the screen's logical size.
    const qreal ratio = devicePixelRatioF();
    double dpi = logicalDpiX() * ratio;
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
        painter.drawImage(QPointF(0, 0), m_pageImage);
    }
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
    const QPointF mm = within(m_document->pageSizeMm(m_page), toMm(event->position()), m_sizeMm);
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
