#pragma once

#include <QWidget>

namespace host {

// The program's window. Its outer width in twips is the client width plus the
// layout's border of 90, whatever frame the window manager draws, so the
// client area is exactly what the layout was designed for. The border is
// fixed; minimising works.
class Form : public QWidget {
    Q_OBJECT
public:
    static constexpr double kBorderTwips = 90.0;
    static constexpr double kCaptionTwips = 330.0;

    Form(double clientWidthTwips, double clientHeightTwips);

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption) { setWindowTitle(caption); }

    double Width() const { return m_outerWidthTwips; }
    void SetWidth(double outerWidthTwips);

    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
    void SetWindowState(int state);

    // While loading, Show and Hide only change the state the program sees,
    // so the window never flashes on screen before it is complete.
    void BeginLoad() { m_loading = true; }
    void Show();
    void Hide();
    bool Visible() const { return m_loading ? m_shownWhileLoading : isVisible(); }
    void SetVisible(bool visible);

    // Takes files dropped anywhere on the window, its controls included
    // (a text box would take a file's name as text), as FilesDropped.
    void AcceptFileDrops();

signals:
    void Unload(qint16 &cancel);
    // Local files dropped on the window, in the order given.
    void FilesDropped(const QStringList &paths);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Tab passes over controls that lie outside the window's visible part
    // (the narrow window hides the rows), so typing never lands unseen.
    bool focusNextPrevChild(bool next) override;

private:
    double m_outerWidthTwips;
    double m_clientHeightTwips;
    bool m_loading = false;
    bool m_shownWhileLoading = false;
    bool m_unloaded = false;
};

} // namespace host
