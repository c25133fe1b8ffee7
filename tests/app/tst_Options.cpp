// The stamp options: defaults that change nothing, keeping them across a
// restart, and what each does to the clipboard, files and look-ups.
#include "TestWindow.h"
#include "app/pdf/LookUpDialog.h"

#include "host/Form.h"
#include "host/TextBox.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using hardening::TestWindow;

namespace {

// The picture as another program gets it, written to a format and read back.
QImage throughFormat(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return QImage::fromData(bytes, format);
}

// The stamp's circle (1600 twips of radius in the shipped box) in
// millimetres, as a program placing the picture at 100 % measures it.
double circleMm(const QImage &picture, int pixelScale)
{
    return 2 * 1600 / 15.0 * pixelScale / picture.dotsPerMeterX() * 1000;
}

} // namespace

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
            menu.stampMm[2]->trigger();
            QCOMPARE(w.c().QVLabel[3]->Text(), QStringLiteral("令和9.01.01"));
            w.close();
            QVERIFY(hardening::readBytes(w.iniPath())
                        .endsWith(
                            "qvid, 0 \r\nscale, 3 \r\ntransparent, 1 \r\ndatestyle, 2 \r\nstampmm, 18 \r\n"));
        }
        TestWindow again(folder.path());
        QCOMPARE(again.window->options().pixelScale, 3);
        QVERIFY(again.window->options().transparent);
        QCOMPARE(again.window->options().dateStyle, render::DateStyle::EraName);
        QCOMPARE(app::StampSizeMm(again.window->options().toSettings()), 18);
        QVERIFY(again.window->optionsMenu().stampMm[2]->isChecked());
        QVERIFY(again.window->optionsMenu().pixelScale[2]->isChecked());
        QCOMPARE(again.c().QVLabel[3]->Text(), QStringLiteral("令和9.01.01"));
        // The date fields keep the western year that clicks step.
        emit again.c().Picture1->MouseDown(1, 0, 800, 1600);
        QCOMPARE(again.c().QVLabel[3]->Text(), QStringLiteral("令和10.01.01"));
    }

    void textSettingsKeptOnlyWhenSet()
    {
        QTemporaryDir folder;
        QVERIFY(hardening::writeBytes(folder.filePath(QStringLiteral("qvanto.ini")),
            "tsa, http://tsa.example.jp/ \r\nsigncert, \x88\xf3.p12 \r\nsigncert, /home/u/key.p12 \r\n"));
        {
            TestWindow w(folder.path());
            QCOMPARE(w.window->settingText(QStringLiteral("tsa")), QStringLiteral("http://tsa.example.jp/"));
            QCOMPARE(w.window->settingText(QStringLiteral("signcert")), QStringLiteral("/home/u/key.p12"));
            w.close();
            QVERIFY(
                hardening::readBytes(w.iniPath())
                    .endsWith("qvid, 0 \r\ntsa, http://tsa.example.jp/ \r\nsigncert, /home/u/key.p12 \r\n"));
        }
        // A value is the whole rest of its line: commas and a length past
        // the 64 characters a row keeps survive the round trip; a line break
        // is never written, where it would begin a line of its own.
        const QString longPath = QStringLiteral(
            "/home/yamada/Documents/keys, 2026/office-general-affairs/山田太郎の署名用の鍵 (予備).p12");
        QVERIFY(longPath.size() > 64);
        QVERIFY(hardening::writeBytes(
            folder.filePath(QStringLiteral("qvanto.ini")), "signcert, " + longPath.toUtf8() + " \r\n"));
        {
            TestWindow w(folder.path());
            QCOMPARE(w.window->settingText(QStringLiteral("signcert")), longPath);
            w.window->SetSigningKey(QStringLiteral("/tmp/a\nlabel0, 乗っ取り"));
            w.close();
            QVERIFY(!hardening::readBytes(w.iniPath()).contains("signcert"));
            QVERIFY(!hardening::readBytes(w.iniPath()).contains("乗っ取り"));
        }
        // An empty value reads as unset, and is not written again.
        QVERIFY(
            hardening::writeBytes(folder.filePath(QStringLiteral("qvanto.ini")), "tsa, \r\nsigncert,\r\n"));
        TestWindow w(folder.path());
        QVERIFY(w.window->settingText(QStringLiteral("tsa")).isEmpty());
        QVERIFY(w.window->settingText(QStringLiteral("signcert")).isEmpty());
        w.close();
        QCOMPARE(hardening::readBytes(w.iniPath()).count("\r\n"), 6);
    }

    void optionValuesOutOfRangeReadAsDefaults()
    {
        QTemporaryDir folder;
        QVERIFY(hardening::writeBytes(folder.filePath(QStringLiteral("qvanto.ini")),
            "color, 0 \r\nscale, 9 \r\ntransparent, 2 \r\ndatestyle,-1 \r\nstampmm, 41 \r\nstampmm, 9 \r\n"));
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

    void stampSizeCarriedAsResolution_data()
    {
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("pixelScale");
        QTest::newRow("18 mm from the menu, 1x") << 18 << 1;
        QTest::newRow("33 mm typed, 3x, transparent") << 33 << 3;
    }
    void stampSizeCarriedAsResolution()
    {
        QFETCH(int, mm);
        QFETCH(int, pixelScale);
        QTemporaryDir folder;
        TestWindow w(folder.path());
        const app::OptionsMenu &menu = w.window->optionsMenu();
        menu.pixelScale[size_t(pixelScale - 1)]->trigger();
        if (mm == 18) {
            menu.stampMm[2]->trigger();
        } else {
            menu.transparent->trigger();
            w.window->mnuStampMm_Click(mm);
            QVERIFY(menu.stampMmTyped->isChecked());
        }
        w.window->StampNow();
        QCOMPARE(w.clipboard.picture.width(), 217 * pixelScale);
        for (const char *format : {"PNG", "BMP"}) {
            const QImage read = throughFormat(w.clipboard.picture, format);
            QVERIFY2(qAbs(circleMm(read, pixelScale) - mm) < 0.01, format);
            QCOMPARE(read.dotsPerMeterY(), read.dotsPerMeterX());
        }
        // The PNG beside the bitmap comes with a transparent background only.
        QCOMPARE(!w.clipboard.png.isEmpty(), menu.transparent->isChecked());
        if (menu.transparent->isChecked())
            QVERIFY(qAbs(circleMm(QImage::fromData(w.clipboard.png, "PNG"), pixelScale) - mm) < 0.01);

        w.window->SaveFaceAs(folder.filePath(QStringLiteral("stamp.png")));
        QVERIFY(qAbs(circleMm(QImage(folder.filePath(QStringLiteral("stamp.png"))), pixelScale) - mm) < 0.01);
        w.window->SaveFaceAs(folder.filePath(QStringLiteral("stamp.svg")));
        // The 217-pixel picture around a circle of 213.33 pixels, in mm.
        QXmlStreamReader svg(hardening::readBytes(folder.filePath(QStringLiteral("stamp.svg"))));
        while (!svg.atEnd() && svg.readNext() != QXmlStreamReader::StartElement) { }
        const QString width = svg.attributes().value(QStringLiteral("width")).toString();
        QVERIFY2(
            width.endsWith(u"mm") && qAbs(width.chopped(2).toDouble() - 217 / (2 * 1600 / 15.0) * mm) < 0.01,
            qPrintable(width));
    }

    // Keys typed over the selected date row, one by one (⌫ Backspace,
    // ⌦ Delete, ← Left): the row as typed, the date on the face meanwhile,
    // and the row once Enter takes it.
    void typedDates_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("faceDate");
        QTest::addColumn<QString>("row");
        const QString today = QStringLiteral("2027.01.01");
        QTest::newRow("dots") << "2026.12.25"
                              << "2026.12.25"
                              << "2026.12.25"
                              << "2026.12.25";
        QTest::newRow("slashes") << "2026/12/25"
                                 << "2026/12/25"
                                 << "2026.12.25"
                                 << "2026.12.25";
        QTest::newRow("hyphens") << "2026-12-25"
                                 << "2026-12-25"
                                 << "2026.12.25"
                                 << "2026.12.25";
        QTest::newRow("full width, as an IME types") << "２０２６．１２．２５"
                                                     << "２０２６．１２．２５"
                                                     << "2026.12.25"
                                                     << "2026.12.25";
        QTest::newRow("year, month, day") << "2026年12月25日"
                                          << "2026年12月25日"
                                          << "2026.12.25"
                                          << "2026.12.25";
        QTest::newRow("era in words") << "令和8年12月25日"
                                      << "令和8年12月25日"
                                      << "2026.12.25"
                                      << "2026.12.25";
        QTest::newRow("full-width era in words") << "令和８年１２月２５日"
                                                 << "令和８年１２月２５日"
                                                 << "2026.12.25"
                                                 << "2026.12.25";
        QTest::newRow("era name") << "令和8.12.25"
                                  << "令和8.12.25"
                                  << "2026.12.25"
                                  << "2026.12.25";
        QTest::newRow("era initial") << "R8.12.25"
                                     << "R8.12.25"
                                     << "2026.12.25"
                                     << "2026.12.25";
        QTest::newRow("first year in words") << "令和元.5.1"
                                             << "令和元.5.1"
                                             << "2019.05.01"
                                             << "2019.05.01";
        QTest::newRow("last day of Heisei") << "平成31.4.30"
                                            << "平成31.4.30"
                                            << "2019.04.30"
                                            << "2019.04.30";
        QTest::newRow("a digit typed after the day") << "2027.01.012"
                                                     << "2027.01.012"
                                                     << "2027.01.12"
                                                     << "2027.01.12";
        QTest::newRow("Backspace") << "2026.12.24⌫5"
                                   << "2026.12.25"
                                   << "2026.12.25"
                                   << "2026.12.25";
        QTest::newRow("Delete") << "2026.12.25←←⌦⌦01"
                                << "2026.12.01"
                                << "2026.12.01"
                                << "2026.12.01";
        QTest::newRow("half a date keeps today") << "2026.1"
                                                 << "2026.1" << today << today;
        QTest::newRow("two-digit year") << "26.12.25"
                                        << "26.12.25" << today << today;
        QTest::newRow("year 0") << "0.1.1"
                                << "0.1.1" << today << today;
        QTest::newRow("Reiwa before it began") << "令和1.4.30"
                                               << "令和1.4.30" << today << today;
        QTest::newRow("no such day: the last date meanwhile") << "2026.02.29"
                                                              << "2026.02.29"
                                                              << "2026.02.02" << today;
        QTest::newRow("mixed separators") << "2026.12/25"
                                          << "2026.12/25" << today << today;
        QTest::newRow("words put the row back") << "クリスマス" << today << today << today;
    }
    void typedDates()
    {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, faceDate);
        QFETCH(QString, row);
        QTemporaryDir folder;
        TestWindow w(folder.path());
        host::TextBox *dateRow = w.c().QVLabel[3];
        dateRow->selectAll();
        for (const QChar key : keys) {
            if (key == u'⌫')
                QTest::keyClick(dateRow, Qt::Key_Backspace);
            else if (key == u'⌦')
                QTest::keyClick(dateRow, Qt::Key_Delete);
            else if (key == u'←')
                QTest::keyClick(dateRow, Qt::Key_Left);
            else // as an input method hands over a character, not a key
                QTest::sendKeyEvent(QTest::Click, dateRow, Qt::Key_unknown, QString(key), Qt::NoModifier);
        }
        QCOMPARE(dateRow->text(), shown);
        const auto fields = [&w] {
            return QStringLiteral("%1.%2.%3")
                .arg(w.c().QVDate[0]->Text())
                .arg(w.c().QVDate[1]->Text().toInt(), 2, 10, QLatin1Char('0'))
                .arg(w.c().QVDate[2]->Text().toInt(), 2, 10, QLatin1Char('0'));
        };
        QCOMPARE(fields(), faceDate);
        QTest::keyClick(dateRow, Qt::Key_Return);
        QCOMPARE(dateRow->Text(), row);
        QCOMPARE(fields(), row);
        QCOMPARE(dateRow->text(), row); // what the row shows
    }

    void theFaceKeepsTheLastDateWhileTyping()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        host::TextBox *dateRow = w.c().QVLabel[3];
        const QImage today = w.face();
        dateRow->selectAll();
        QTest::keyClicks(dateRow, QStringLiteral("2026.1"));
        QCOMPARE(w.face(), today);
        QTest::keyClicks(dateRow, QStringLiteral("2.25"));
        const QImage typed = w.face();
        QVERIFY(typed != today);
        // Leaving the row takes the date.
        dateRow->setFocus();
        emit dateRow->editingFinished();
        QCOMPARE(dateRow->Text(), QStringLiteral("2026.12.25"));
        QCOMPARE(w.face(), typed);
    }

    void savedStampsSwitchThroughTheMenu()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        const QByteArray defaultBefore = (w.close(), hardening::readBytes(w.iniPath()));
        // The default stamp kept under a name, then made a square seal.
        w.window->SaveStampAs(QStringLiteral("kaku"));
        w.window->mnuSealKind_Click(render::SealKind::Square);
        w.c().QVLabel[0]->SetText(QStringLiteral("株式会社山田商事"));
        const QImage square = w.face();
        // Switching keeps the square seal in its file and brings the default one back as it was.
        w.window->mnuOptions_AboutToShow();
        QMenu *stamps = w.window->optionsMenu().stamps;
        QCOMPARE(stamps->actions().size(), 4); // 既定の印, kaku, a separator, the entry that saves
        stamps->actions()[0]->trigger();
        QCOMPARE(w.window->stampName(), QString());
        QCOMPARE(w.window->options().kind, render::SealKind::Date);
        QCOMPARE(w.c().QVLabel[0]->Text(), QStringLiteral("会 社 名"));
        QCOMPARE(hardening::readBytes(w.iniPath()), defaultBefore);
        const QByteArray kaku = hardening::readBytes(folder.filePath(QStringLiteral("stamps/kaku.ini")));
        QVERIFY2(kaku.contains("kind, 1 \r\n") || kaku.contains("kind,1\r\n"), kaku.constData());
        QVERIFY(w.window->LoadStamp(QStringLiteral("kaku")));
        QCOMPARE(w.face(), square);
        // Names that would reach outside the folder are refused, and nothing is made.
        for (const QString &bad :
            {QStringLiteral("../x"), QStringLiteral(".hidden"), QStringLiteral("a/b")}) {
            w.window->SaveStampAs(bad);
            QVERIFY(!w.window->LoadStamp(bad));
        }
        QCOMPARE(w.messages.shown.size(), size_t(3));
        QCOMPARE(QDir(folder.filePath(QStringLiteral("stamps")))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList {QStringLiteral("kaku.ini")});
    }

    void tabStaysInTheVisiblePart()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        host::Form &form = w.window->form();
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        for (const double width : {3600.0, 9000.0}) {
            form.SetWidth(width);
            w.c().Picture1->setFocus();
            QSet<QWidget *> reached;
            for (int i = 0; i < 30; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget *now = QApplication::focusWidget();
                QVERIFY(form.rect().contains(QRect(now->mapTo(&form, QPoint(0, 0)), now->size()).center()));
                reached.insert(now);
            }
            // The wide window still reaches the rows; the narrow one keeps the face and its buttons.
            QCOMPARE(reached.contains(w.c().QVLabel[0]), width > 3600);
            QVERIFY(reached.contains(static_cast<QWidget *>(w.c().cmdPetan)));
        }
    }

    void dayTypedOverDigitByDigit()
    {
        QTemporaryDir folder;
        TestWindow w(folder.path());
        host::TextBox *dateRow = w.c().QVLabel[3];
        dateRow->setSelection(8, 2); // the day, "01"
        QTest::keyClicks(dateRow, QStringLiteral("25"));
        QCOMPARE(dateRow->Text(), QStringLiteral("2027.01.25"));
        dateRow->setSelection(0, 4);
        QTest::keyClicks(dateRow, QStringLiteral("2026"));
        QCOMPARE(dateRow->Text(), QStringLiteral("2026.01.25"));
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
        // The examples show the clock's date, in each style.
        QCOMPARE(w.window->optionsMenu().dateStyle[2]->text(), QStringLiteral("和暦 (令和9.01.01)"));
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
        app::LookUpDialog *dialog = w.window->lookUpDialog();
        QVERIFY(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isDone(), 30000);
        QVERIFY(dialog->heading().contains(QStringLiteral("2001/03/05 21:07:03")));
        QCOMPARE(dialog->rowCount(), 1);
        QVERIFY(dialog->row(0)[4].contains(QStringLiteral("会 社 名,部課係名,氏    名,2001.03.05")));
        QVERIFY(w.messages.shown.empty());
    }
};

QTEST_MAIN(tst_Options)
#include "tst_Options.moc"
