// The real seams over Qt: fonts, message box, clipboard and the desktop's viewers.
#include "Clipboard.h"
#include "FileOpener.h"
#include "FontList.h"
#include "MessageBox.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace host {

bool DesktopFileOpener::open(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QStringList QtFontList::families() const
{
    return QFontDatabase::families();
}

void QtMessageBox::show(const QString &text, const QString &caption, Icon icon)
{
    QMessageBox box(
        icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

void QtClipboard::Clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::SetData(const QImage &picture, const QByteArray &png)
{
    // An opaque RGB image: pasted stamps have a white background, not alpha.
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (png.isEmpty()) {
        QGuiApplication::clipboard()->setImage(opaque);
        return;
    }
    auto *data = new QMimeData;
    data->setImageData(opaque);
    data->setData(QStringLiteral("image/png"), png);
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace host
