// The window on a screen of twice the pixels: the face drawn sharp from the
// same layout, clicks still in twips, and stamps at the chosen resolution.
#include "TestWindow.h"

#include "host/TextBox.h"
#include "render/FaceExport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using hardening::TestWindow;

class tst_HighDpi : public QObject {
    Q_OBJECT
private slots:
    void faceAtTheScreensPixelRatio()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        QCOMPARE(w.c().Picture1->devicePixelRatioF(), 2.0);
        const QImage face = w.face();
        QCOMPARE(face.size(), QSize(434, 434));
        // The output at 2x of the same controls is the very same picture.
        w.window->optionsMenu().pixelScale[1]->trigger();
        w.window->StampNow();
        QCOMPARE(w.clipboard.picture, w.face());

        // The stamp keeps the chosen resolution, not the screen's.
        w.window->optionsMenu().pixelScale[0]->trigger();
        w.window->StampNow();
        QCOMPARE(w.clipboard.picture.size(), QSize(217, 217));

        // A press at logical (53, 107), the year on the band, steps the year.
        QTest::mouseClick(w.c().Picture1, Qt::LeftButton, {}, QPoint(2 + 53, 2 + 107));
        QCOMPARE(w.c().QVLabel[3]->Text(), QStringLiteral("2028.01.01"));
    }
};

int main(int argc, char **argv)
{
    // Set before the application starts, as a desktop's scaling would be.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_HighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HighDpi.moc"
