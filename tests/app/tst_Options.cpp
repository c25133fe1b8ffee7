// The stamp options: defaults that change nothing, keeping them across a
// restart, and what each does to the clipboard, files and look-ups.
#include "TestWindow.h"

#include "host/TextBox.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using hardening::TestWindow;

class tst_Options : public QObject {
    Q_OBJECT
private slots:
    void defaultsChangeNothing()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        w.window->StampNow();
        QCOMPARE(w.clipboard.picture, w.face());
        QVERIFY(w.clipboard.png.isEmpty());
        w.close();
        const QByteArray ini = hardening::readBytes(w.iniPath());
        QCOMPARE(ini.count("\r\n"), 6);
        QVERIFY(ini.endsWith("qvid, 0 \r\n"));
        QCOMPARE(w.c().QVLabel[3]->Text(), QStringLiteral("2027.01.01"));
    }

    void optionsSurviveARestart()
    {
        QTemporaryDir folder;
        {
            TestWindow w(folder.path());
            const app::OptionsMenu &menu = w.window->optionsMenu();
            menu.pixelScale[2]->trigger();
            menu.transparent->trigger();
            menu.dateStyle[2]->trigger();
            QCOMPARE(w.c().QVLabel[3]->Text(), QStringLiteral("令和9.01.01"));
            w.close();
            QVERIFY(hardening::readBytes(w.iniPath())
                        .endsWith("qvid, 0 \r\nscale, 3 \r\ntransparent, 1 \r\ndatestyle, 2 \r\n"));
        }
        TestWindow again(folder.path());
        QCOMPARE(again.window->options().pixelScale, 3);
        QVERIFY(again.window->options().transparent);
        QCOMPARE(again.window->options().dateStyle, render::DateStyle::EraName);
        QVERIFY(again.window->optionsMenu().pixelScale[2]->isChecked());
        QCOMPARE(again.c().QVLabel[3]->Text(), QStringLiteral("令和9.01.01"));
        // The date fields keep the western year that clicks step.
        emit again.c().Picture1->MouseDown(1, 0, 800, 1600);
        QCOMPARE(again.c().QVLabel[3]->Text(), QStringLiteral("令和10.01.01"));
    }

    void optionValuesOutOfRangeReadAsDefaults()
    {
        QTemporaryDir folder;
        QVERIFY(hardening::writeBytes(folder.filePath(QStringLiteral("qvanto.ini")),
            "color, 0 \r\nscale, 9 \r\ntransparent, 2 \r\ndatestyle,-1 \r\n"));
        TestWindow w(folder.path());
        QVERIFY(w.window->options().isDefault());
        QCOMPARE(w.window->InkColor, 0);
    }

    void stampsAtFinerPixelsAndWithTransparency()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        w.window->optionsMenu().pixelScale[1]->trigger();
        w.window->StampNow();
        QCOMPARE(w.clipboard.picture.size(), QSize(434, 434));
        QVERIFY(w.clipboard.png.isEmpty());
        QCOMPARE(w.face().size(), QSize(217, 217)); // the screen keeps its face

        w.window->optionsMenu().transparent->trigger();
        w.window->StampNow();
        QCOMPARE(w.clipboard.picture.pixel(0, 0), qRgb(255, 255, 255));
        QImage png;
        QVERIFY(png.loadFromData(w.clipboard.png, "PNG"));
        QCOMPARE(png.size(), QSize(434, 434));
        QCOMPARE(qAlpha(png.pixel(0, 0)), 0);
    }

    void menuOnlyOutsideTheDateBand()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        QMenu *menu = w.window->optionsMenu().menu;
        w.window->Picture1_ContextMenu(QPoint(108, 100)); // inside the band
        QVERIFY(!menu->isVisible());
        w.window->Picture1_ContextMenu(QPoint(108, 30)); // on the company row
        QVERIFY(menu->isVisible());
        menu->hide();
    }

    void savesPngAndSvg()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        w.window->SaveFaceAs(folder.filePath(QStringLiteral("stamp.png")));
        QImage png(folder.filePath(QStringLiteral("stamp.png")));
        QCOMPARE(png, w.face().convertToFormat(png.format()));
        w.window->SaveFaceAs(folder.filePath(QStringLiteral("stamp.svg")));
        QVERIFY(hardening::readBytes(folder.filePath(QStringLiteral("stamp.svg"))).contains("<circle"));
        QVERIFY(w.messages.shown.empty());
        w.window->SaveFaceAs(folder.path()); // a folder cannot be written as a file
        QCOMPARE(w.messages.shown.size(), size_t(1));
    }

    void looksUpAStampMadeHere()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path(), QDateTime(QDate(2001, 3, 5), QTime(21, 7, 3)));
        w.window->StampNow();
        const QString id = w.c().QVLabel[4]->Text();
        QCOMPARE(id, QStringLiteral("1NNXBR00"));
        w.window->LookUpStamp(id);
        QCOMPARE(w.messages.shown.size(), size_t(1));
        QVERIFY(w.messages.shown[0].text.contains(QStringLiteral("2001/03/05 21:07:03")));
        QVERIFY(w.messages.shown[0].text.contains(QStringLiteral("会 社 名,部課係名,氏    名,2001.03.05")));
    }
};

QTEST_MAIN(tst_Options)
#include "tst_Options.moc"
