// The window as a whole, with fake seams: start-up state, the handlers and
// the default error report.
#include "TestWindow.h"

#include "app/frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/Label.h"
#include "host/OptionButton.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A window in a program folder of its own.
struct Program {
    explicit Program(const QDateTime &now = QDateTime(QDate(2027, 1, 1), QTime(10, 0)),
        QStringList fontNames = {QStringLiteral("IPAPGothic"), QStringLiteral("@IPAGothic"),
            QStringLiteral("Mail@Face"), QString()})
        : w(folder.path(), now, std::move(fontNames)), window(w.window), app(w.app), messages(w.messages)
    {
    }
    const app::Controls &c() const { return w.c(); }
    QImage face() const { return w.face(); }

    QTemporaryDir folder;
    hardening::TestWindow w;
    std::unique_ptr<frm_QVanto> &window;
    host::AppInfo &app;
    fakes::FakeMessageBox &messages;
};

// A colour as the window stores it (red in the low byte) as it is seen.
QColor asShown(qint32 color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

bool isInk(const QColor &color, const QColor &ink)
{
    return qAbs(color.red() - ink.red()) < 60 && qAbs(color.green() - ink.green()) < 60
        && qAbs(color.blue() - ink.blue()) < 60;
}

} // namespace

class tst_frm_QVanto : public QObject {
    Q_OBJECT
private slots:
    void startUpState()
    {
        Program p;
        const auto &c = p.c();
        QCOMPARE(p.window->form().Caption(), QStringLiteral("QVanto 1 . 1 . 9"));
        QVERIFY(p.window->form().isVisible());
        QCOMPARE(c.QVLabel[0]->Text(), QStringLiteral("会 社 名"));
        QCOMPARE(c.QVLabel[1]->Text(), QStringLiteral("部課係名"));
        QCOMPARE(c.QVLabel[2]->Text(), QStringLiteral("氏    名"));
        QCOMPARE(c.QVLabel[3]->Text(), QStringLiteral("2027.01.01"));
        QCOMPARE(c.QVLabel[4]->Text(), QStringLiteral("QVANTOID"));
        QCOMPARE(c.QVDate[0]->Text() + c.QVDate[1]->Text() + c.QVDate[2]->Text(), QStringLiteral("202711"));
        QCOMPARE(p.window->InkColor, 255);
        QCOMPARE(c.chkQVID->Value(), 0);
        for (const auto *field : c.cmbFontName) {
            QCOMPARE(field->Text(), QStringLiteral("ＭＳ Ｐゴシック"));
            QCOMPARE(field->count(), 3);
            QCOMPARE(field->itemText(0), QStringLiteral("IPAPGothic"));
            QCOMPARE(field->itemText(1), QStringLiteral("Mail@Face"));
            QCOMPARE(field->itemText(2), QString());
        }
        // Each named colour option is written in the colour it names; the
        // last two in the buttons' text colour.
        const QList<std::pair<QString, QColor>> named {{"黒", Qt::black}, {"赤", Qt::red}, {"緑", Qt::green},
            {"黄", Qt::yellow}, {"青", Qt::blue}, {"紫", Qt::magenta}, {"水", Qt::cyan}};
        for (int i = 0; i < 9; ++i) {
            const auto *option = c.chkColor[size_t(i)];
            QCOMPARE(option->Caption(), i < 7 ? named[i].first : QString());
            if (i < 7)
                QCOMPARE(asShown(option->ForeColor()), named[i].second);
            else
                QCOMPARE(option->ForeColor(), host::kButtonTextColor);
            QVERIFY(!option->Value());
        }
        const QStringList about = c.lblTitle->Caption().split(QLatin1Char('\r'));
        QCOMPARE(about.size(), 3);
        QCOMPARE(about[0], p.app.Comments);
        QVERIFY(about[2].startsWith(QStringLiteral("HomePage: ")));
        QVERIFY(!c.lblTitle->Caption().contains(QLatin1Char('\n')));
        QCOMPARE(c.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    void noFontsGivesEmptyLists()
    {
        Program p(QDateTime(QDate(2026, 12, 6), QTime(8, 0)), {});
        for (const auto *field : p.c().cmbFontName) {
            QCOMPARE(field->count(), 0);
            QCOMPARE(field->Text(), QStringLiteral("ＭＳ Ｐゴシック"));
        }
        QCOMPARE(p.c().QVLabel[3]->Text(), QStringLiteral("2026.12.06"));
    }

    void firstFaceIsDrawnInRed()
    {
        Program p;
        const QImage face = p.face();
        QCOMPARE(face.size(), QSize(217, 217));
        const QColor red(255, 0, 0);
        // The circle's extremes on the centre row and column, the band lines.
        QVERIFY(isInk(face.pixelColor(1, 108), red) || isInk(face.pixelColor(2, 108), red));
        QVERIFY(isInk(face.pixelColor(215, 108), red) || isInk(face.pixelColor(214, 108), red));
        QVERIFY(isInk(face.pixelColor(108, 1), red) || isInk(face.pixelColor(108, 2), red));
        for (int x : {10, 60, 160, 205}) {
            QVERIFY(isInk(face.pixelColor(x, 86), red) || isInk(face.pixelColor(x, 87), red));
            QVERIFY(isInk(face.pixelColor(x, 129), red) || isInk(face.pixelColor(x, 130), red));
        }
        QCOMPARE(face.pixelColor(0, 0), QColor(Qt::white));
    }

    void widthToggle()
    {
        Program p;
        host::Form &form = p.window->form();
        QCOMPARE(form.Width(), 3600.0);
        p.c().cmdCopyRight->click();
        QCOMPARE(form.Width(), 9000.0);
        QCOMPARE(form.width(), 594);
        p.c().cmdCopyRight->click();
        QCOMPARE(form.Width(), 3600.0);
        for (double width : {3601.0, 5000.0}) {
            form.SetWidth(width);
            p.window->cmdCopyRight_Click();
            QCOMPARE(form.Width(), 3600.0);
        }
    }

    void colourOptionSetsTheInkAndRedraws()
    {
        Program p;
        p.c().chkColor[6]->click();
        QCOMPARE(asShown(p.window->InkColor), QColor(Qt::cyan));
        QVERIFY(p.c().chkColor[6]->Value());
        QVERIFY(isInk(p.face().pixelColor(60, 86), QColor(0, 255, 255))
            || isInk(p.face().pixelColor(60, 87), QColor(0, 255, 255)));
        p.c().chkColor[7]->click();
        QCOMPARE(p.window->InkColor, host::kButtonTextColor);
    }

    void editsRedrawButTypedFaceNamesWait()
    {
        Program p;
        const QImage before = p.face();
        QTest::keyClicks(p.c().cmbFontName[3]->lineEdit(), QStringLiteral("Mincho"));
        p.c().cmbFontName[3]->SetText(QStringLiteral("IPAMincho"));
        QCOMPARE(p.face(), before);
        p.c().chkQVID->click();
        const QImage withId = p.face();
        QVERIFY(withId != before);
        p.c().QVLabel[2]->clear();
        QVERIFY(p.face() != withId);
        QCOMPARE(p.c().QVLabel[2]->Text(), QString());
    }

    void fontFieldNamesTheCharactersItsFontLacks()
    {
        Program p;
        const auto &c = p.c();
        p.window->form().SetWidth(9000);
        host::ComboBox &field = *c.cmbFontName[2];
        host::Label &mark = *c.lblMissingGlyphs[2];
        const QString own = field.toolTip();
        QVERIFY(mark.isHidden());
        c.QVLabel[2]->SetText(QStringLiteral("山田𠀀㐀"));
        QVERIFY(!mark.isHidden());
        QVERIFY(!mark.geometry().intersects(field.geometry()));
        QVERIFY(field.toolTip().contains(QStringLiteral("𠀀 㐀")));
        QCOMPARE(mark.focusPolicy(), Qt::NoFocus);
        // Another row's field and mark are untouched.
        QVERIFY(c.lblMissingGlyphs[1]->isHidden());
        // A font that has none of the kanji names them all once chosen.
        field.SetText(QStringLiteral("DejaVu Sans"));
        emit field.Click();
        QVERIFY(field.toolTip().contains(QStringLiteral("山 田 𠀀 㐀")));
        c.QVLabel[2]->SetText(QStringLiteral("Yamada"));
        QVERIFY(mark.isHidden());
        QCOMPARE(field.toolTip(), own);
    }

    void tabWalksEveryStopInTheLaidOutOrder()
    {
        Program p;
        const auto &c = p.c();
        QVERIFY(QTest::qWaitForWindowActive(&p.window->form()));
        const QList<QWidget *> order = {c.Picture1, c.QVLabel[0], c.QVLabel[1], c.QVLabel[2], c.QVLabel[3],
            c.cmbFontName[0], c.chkColor[6], c.chkColor[5], c.chkColor[4], c.chkColor[3], c.chkColor[2],
            c.chkColor[1], c.chkColor[0], c.cmdPetan, c.cmdCopyRight, c.chkColor[7], c.chkColor[8], c.chkQVID,
            c.cmbFontName[1], c.cmbFontName[2], c.cmbFontName[3]};
        QCOMPARE(QApplication::focusWidget(), c.Picture1);
        // The wide window shows every stop (the narrow one skips those it hides).
        p.window->form().SetWidth(9000);
        // Once round forwards, back to the face, then once round backwards.
        for (qsizetype i = 1; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i % order.size()]);
        }
        for (qsizetype i = order.size() - 1; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
        // The arrows move between the options as well, in their row.
        c.chkColor[6]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(c.chkColor[6], Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), c.chkColor[7]);
        QTest::keyClick(c.chkColor[7], Qt::Key_Left);
        QTest::keyClick(c.chkColor[6], Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), c.chkColor[5]);
        QCOMPARE(p.window->InkColor, 255);
    }

    void keysPressTheFocusedButtonAndOpenTheFaceMenu()
    {
        Program p;
        const auto &c = p.c();
        QVERIFY(QTest::qWaitForWindowActive(&p.window->form()));
        // The focused face shows it on its border, which the face image does not include.
        const QColor highlight = c.Picture1->palette().color(QPalette::Highlight);
        QCOMPARE(c.Picture1->grab().toImage().pixelColor(0, 0), highlight);
        QTest::keyClick(c.Picture1, Qt::Key_F10, Qt::ShiftModifier);
        QMenu *menu = p.window->optionsMenu().menu;
        QTRY_VERIFY(menu->isVisible());
        const QPoint middle = c.Picture1->mapToGlobal(c.Picture1->rect().center());
        QCOMPARE(menu->pos(), middle);
        menu->hide();
        // What the platform sends for the Menu key, at the pointer far away.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), QPoint(900, 900));
        QApplication::sendEvent(c.Picture1, &menuKey);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), middle);
        menu->hide();

        c.cmdCopyRight->setFocus();
        QVERIFY(c.Picture1->grab().toImage().pixelColor(0, 0) != highlight);
        QTest::keyClick(c.cmdCopyRight, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(p.window->form().Width(), 9000.0);
        c.cmdPetan->setFocus();
        QTest::keyClick(c.cmdPetan, Qt::Key_Return);
        QTest::keyPress(c.cmdPetan, Qt::Key_Return); // held: one stamp only
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(c.cmdPetan, &repeat);
        QCOMPARE(p.w.sound.calls.size(), size_t(2));
    }

    void datePressesStepAndRedraw()
    {
        Program p;
        emit p.c().Picture1->MouseDown(1, 0, 800, 1600);
        QCOMPARE(p.c().QVDate[0]->Text(), QStringLiteral("2028"));
        QCOMPARE(p.c().QVLabel[3]->Text(), QStringLiteral("2028.01.01"));
        emit p.c().Picture1->MouseDown(2, 0, 2800, 1600);
        QCOMPARE(p.c().QVLabel[3]->Text(), QStringLiteral("2028.01.31"));
    }

    void unhandledErrorsAreReportedAndTheProgramGoesOn()
    {
        Program p;
        p.c().QVDate[1]->SetText(QStringLiteral("abc"));
        emit p.c().Picture1->MouseDown(1, 0, 2000, 1600);
        QCOMPARE(p.messages.shown.size(), size_t(1));
        QCOMPARE(p.messages.shown[0].caption, QStringLiteral("QVanto"));
        QCOMPARE(p.c().QVDate[1]->Text(), QStringLiteral("abc"));
        // Still working: another press on the year goes through.
        emit p.c().Picture1->MouseDown(1, 0, 800, 1600);
        QCOMPARE(p.c().QVDate[0]->Text(), QStringLiteral("2028"));
    }
};

QTEST_MAIN(tst_frm_QVanto)
#include "tst_frm_QVanto.moc"
