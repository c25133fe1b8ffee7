#pragma once

#include "pdf/PdfModule.h"

#include <QWidget>
#include <optional>

namespace app {

// One page of a PDF at screen resolution, the stamp at its real size
// following the mouse, and the stamp placed by a click, which a later click
// moves. Positions are millimetres on the page as shown.
class PdfPageView : public QWidget {
    Q_OBJECT
public:
    // circleFraction: the share of the face picture's width its circle takes.
    PdfPageView(pdf::PdfDocument &document, const QImage &face, double circleFraction, double sizeMm,
        QWidget *parent = nullptr);

    void showPage(int page);
    int page() const { return m_page; }
    const std::optional<pdf::StampPlacement> &placement() const { return m_placement; }
    // Millimetres on the page for a point of the widget.
    QPointF toMm(const QPointF &point) const;

signals:
    void placed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    double pxPerMm() const;
    void drawStamp(QPainter &painter, const QPointF &centreMm, qreal opacity) const;

    pdf::PdfDocument &m_document;
    QImage m_face;
    mutable QImage m_screenFace; // m_face at the screen's size
    double m_circleFraction;
    double m_sizeMm;
    int m_page = 1;
    QImage m_pageImage;
    std::optional<QPointF> m_mouseMm;
    std::optional<pdf::StampPlacement> m_placement;
};

} // namespace app
