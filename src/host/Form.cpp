#include "Form.h"

#include "Units.h"

#include <QCloseEvent>
#include <cmath>

namespace host {

Form::Form(double clientWidthTwips, double clientHeightTwips)
    : m_outerWidthTwips(clientWidthTwips + kBorderTwips), m_clientHeightTwips(clientHeightTwips)
{
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    SetWidth(m_outerWidthTwips);
}

void Form::SetWidth(double outerWidthTwips)
{
    m_outerWidthTwips = outerWidthTwips;
    const int widthPx = qMax(1, int(std::lround(twipsToPx(outerWidthTwips - kBorderTwips))));
    const int heightPx = int(std::lround(twipsToPx(m_clientHeightTwips)));
    setFixedSize(widthPx, heightPx);
}

int Form::WindowState() const
{
    const Qt::WindowStates states = windowState();
    if (states & Qt::WindowMinimized)
        return 1;
    if (states & Qt::WindowMaximized)
        return 2;
    return 0;
}

void Form::SetWindowState(int state)
{
    // A routine that ends after the window was closed under it (a message
    // box open as the session ended) must not bring the window back.
    if (m_unloaded)
        return;
    switch (state) {
    case 1: showMinimized(); break;
    case 2: showMaximized(); break;
    default: showNormal(); break;
    }
}

void Form::Show()
{
    if (m_loading)
        m_shownWhileLoading = true;
    else
        show();
}

void Form::Hide()
{
    if (m_loading)
        m_shownWhileLoading = false;
    else
        hide();
}

void Form::SetVisible(bool visible)
{
    m_loading = false;
    setVisible(visible);
}

void Form::closeEvent(QCloseEvent *event)
{
    qint16 cancel = 0;
    emit Unload(cancel);
    if (cancel != 0) {
        event->ignore();
    } else {
        m_unloaded = true;
        event->accept();
    }
}

bool Form::focusNextPrevChild(bool next)
{
    QWidget *const start = focusWidget();
    // Each control at most once round the chain.
    for (qsizetype steps = findChildren<QWidget *>().size() + 1; steps > 0; --steps) {
        if (!QWidget::focusNextPrevChild(next))
            return false;
        QWidget *const now = focusWidget();
        if (!now || now == start
            || rect().contains(QRect(now->mapTo(this, QPoint(0, 0)), now->size()).center()))
            return true;
    }
    return true;
}

} // namespace host
