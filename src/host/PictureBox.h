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
    // Gives the surface as many pixels as the screen has under the box, so
    // the face is drawn sharp at 2x or 1.5x and not enlarged; the twips
    // layout stays. Drawn before, the face must be drawn again.
    void FollowScreen() { m_surface.setPixelScale(devicePixelRatioF()); }

signals:
    void MouseDown(int button, int shift, float x, float y);
    void MenuKey();
    // The window moved to a screen of another device pixel ratio.
    void ScreenChange();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    ImageSurface m_surface;
};

} // namespace host
