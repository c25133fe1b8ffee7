#include "Form.h"

#include "Units.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cmath>

namespace host {

Form::Form(double clientWidthTwips, double clientHeightTwips)
    : m_outerWidthTwips(clientWidthTwips + kBorderTwips), m_clientHeightTwips(clientHeightTwips)
{
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    SetWidth(m_outerWidthTwips);
}

namespace {

QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (data)
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    return paths;
}

} // namespace

void Form::AcceptFileDrops()
{
    setAcceptDrops(true);
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>()) {
        child->setAcceptDrops(true);
        child->installEventFilter(this);
    }
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList paths = localFiles(drop->mimeData());
    if (paths.isEmpty())
        return QWidget::eventFilter(watched, event); // text for a text box
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        emit FilesDropped(paths);
    return true;
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
