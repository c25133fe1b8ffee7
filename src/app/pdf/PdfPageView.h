#pragma once

#include "pdf/PdfModule.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace app {

// One page of a PDF at a zoom (1: real size on the screen), the stamp at
// its size following the mouse, and the stamps placed by clicks, on any
// pages: a click on a placed stamp takes it away. The keyboard does the
// same: the arrow keys move the stamp (Shift: larger steps), Enter places
// it. A stamp near the edge is placed as near as its whole circle
// stays on the page. Positions are millimetres on the page as shown. Pages are drawn on
// a thread of their own; one that takes longer than the time limit is given
// up with a message in its place, and the window stays responsive meanwhile.
class PdfPageView : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit {10000};

    // circleFraction: the share of the face picture's width its circle takes.
    PdfPageView(std::shared_ptr<pdf::PdfDocument> document, const QImage &face, double circleFraction,
        double sizeMm, QWidget *parent = nullptr, std::chrono::milliseconds timeLimit = kDefaultTimeLimit);
    ~PdfPageView() override;

    void showPage(int page);
    int page() const { return m_page; }
    // Whether the document is still drawing a page, perhaps one given up on.
    bool drawing() const { return m_drawing > 0; }
    // Whether the current page is shown; else why not (drawn, given up).
    bool pageShown() const { return !m_pageImage.isNull(); }
    const QString &message() const { return m_message; }
    // Every stamp placed, in the order placed; the last one.
    const std::vector<pdf::StampPlacement> &placements() const { return m_placements; }
    std::optional<pdf::StampPlacement> placement() const;
    // Millimetres on the page for a point of the widget, and back.
    QPointF toMm(const QPointF &point) const;
    QPointF fromMm(const QPointF &mm) const;

    static constexpr double kLeastZoom = 0.1;
    static constexpr double kMostZoom = 8;
    double zoom() const { return m_zoom; }
    // Draws the page again at the zoom, bounded to the range above.
    void setZoom(double zoom);
    // The zoom at which the page fits `area`, whole or by its width.
    double zoomToFit(const QSize &area, bool widthOnly) const;

    // Places a stamp centred at `mm` on the page shown, or takes away the
    // one there.
    void placeOrRemoveAt(const QPointF &mm);

signals:
    // A stamp was placed or taken away.
    void placed();
    void zoomed();
    // The wheel zoomed: the spot of the page that was at `before` in the
    // view is now at `after`, so whoever scrolls the view can keep it under
    // the mouse.
    void zoomedAround(const QPointF &before, const QPointF &after);
    // The keys moved the stamp to this point of the view.
    void movedTo(const QPoint &point, int radius);
    // The current page is shown, given up on, or the document is idle again.
    void drawn();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    double pxPerMm() const;
    void drawStamp(QPainter &painter, const QPointF &centreMm, qreal opacity) const;

    void pageDrawn(int generation, const QImage &image);
    void giveUp(int generation);

    QImage m_face;
    mutable QImage m_screenFace; // m_face at the screen's size
    double m_circleFraction;
    double m_sizeMm;
    int m_page = 1;
    QImage m_pageImage;
    double m_zoom = 1;
    // Where the stamp follows the mouse or the arrow keys.
    std::optional<QPointF> m_mouseMm;
    std::vector<pdf::StampPlacement> m_placements;
    // Shared with the thread that draws, which may outlive the view.
    std::shared_ptr<pdf::PdfDocument> m_document;
    std::chrono::milliseconds m_timeLimit;
    // Tells the drawing on its thread to stop; one per page asked for.
    std::shared_ptr<std::atomic_bool> m_stop;
    int m_generation = 0;
    int m_drawing = 0; // pages still drawing, current or given up
    QDeadlineTimer m_pageDeadline;
    QTimer m_deadline; // the same time on the GUI thread
    QString m_message;
};

} // namespace app
