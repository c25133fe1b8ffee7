#pragma once

#include "ImageSurface.h"

#include <QFrame>

namespace host {

// The picture box: a 2-pixel sunken border around a persistent drawing
// surface. Painting shows the surface's image; mouse presses are reported in
// twips from the drawing area's top-left, Button 1 left, 2 right, 4 middle.
// With the focus its border turns the highlight colour; the Menu key and
// Shift+F10 raise MenuKey.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    PictureBox(double outerWidthTwips, double outerHeightTwips, QWidget *parent = nullptr);

    ImageSurface &surface() { return m_surface; }
    QImage Image() const { return m_surface.Image(); }
    // Shows what has been drawn since the last refresh.
    void Refresh() { update(); }

signals:
    void MouseDown(int button, int shift, float x, float y);
    void MenuKey();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    ImageSurface m_surface;
};

} // namespace host
