// The host controls' semantics that the program's logic relies on.
#include "host/AfterFirstFrame.h"
#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/ErrorReport.h"
#include "host/Form.h"
#include "host/HostError.h"
#include "host/Module.h"
#include "host/QtTranslations.h"
#include "host/SvgDevice.h"
#include "host/TextBox.h"

#include "Requirement.h"
#include "fakes/FakeServices.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

namespace {

// A font field and another field to move to, in one window.
struct FontField {
    FontField()
    {
        combo->AddItem(QStringLiteral("IPAGothic"));
        combo->AddItem(QStringLiteral("IPAMincho"));
        combo->SetText(QStringLiteral("ＭＳ Ｐゴシック"));
        window.show();
    }
    QWidget window;
    host::ComboBox *combo = new host::ComboBox(&window);
    QLineEdit *other = new QLineEdit(&window);
    QSignalSpy clicks {combo, &host::ComboBox::Click};
};

} // namespace

class tst_Controls : public QObject {
    Q_OBJECT
private slots:
    void textBoxRaisesChangeOnlyWhenTextChanges()
    {
        host::TextBox box;
        QSignalSpy changes(&box, &host::TextBox::Change);
        box.SetText(QStringLiteral("会社"));
        box.SetText(QStringLiteral("会社"));
        QCOMPARE(changes.count(), 1);
        box.SetText(QString());
        QCOMPARE(changes.count(), 2);
        QTest::keyClicks(&box, QStringLiteral("ab"));
        QCOMPARE(changes.count(), 4);
        QCOMPARE(box.Text(), QStringLiteral("ab"));
    }

    void textBoxChangeIsSynchronousAndEndsNesting()
    {
        // A handler that writes the same text again must not recurse.
        host::TextBox box;
        int depth = 0, calls = 0;
        QObject::connect(&box, &host::TextBox::Change, [&] {
            ++calls;
            ++depth;
            QVERIFY(depth < 3);
            box.SetText(QStringLiteral("fixed"));
            --depth;
        });
        box.SetText(QStringLiteral("other"));
        QCOMPARE(calls, 2);
        QCOMPARE(box.Text(), QStringLiteral("fixed"));
    }

    void textBoxKeepsLongTexts()
    {
        host::TextBox box;
        const QString longText(100000, QChar(u'名'));
        box.SetText(longText);
        QCOMPARE(box.Text().size(), longText.size());
    }

    void checkBoxHoldsThreeValuesAndRefusesOthers()
    {
        host::CheckBox box;
        QSignalSpy clicks(&box, &host::CheckBox::Click);
        box.SetValue(2);
        QCOMPARE(box.Value(), 2);
        box.SetValue(2);
        box.SetValue(1);
        box.SetValue(0);
        QCOMPARE(clicks.count(), 3);
        for (int bad : {-1, 3, 5}) {
            QVERIFY_THROWS_EXCEPTION(host::HostError, box.SetValue(bad));
            QCOMPARE(box.Value(), 0);
        }
        // The user toggles between clear and ticked only.
        box.SetValue(2);
        box.click();
        QCOMPARE(box.Value(), 0);
        box.click();
        QCOMPARE(box.Value(), 1);
    }

    void comboBoxClicksOnlyWhenPickedFromList()
    {
        host::ComboBox combo;
        combo.AddItem(QStringLiteral("IPAPGothic"));
        combo.AddItem(QStringLiteral("IPAMincho"));
        combo.SetText(QStringLiteral("ＭＳ Ｐゴシック"));
        QSignalSpy clicks(&combo, &host::ComboBox::Click);
        QTest::keyClicks(combo.lineEdit(), QStringLiteral("xyz"));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(combo.count(), 2); // typed names never join the list
        emit combo.activated(1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(combo.Text(), QStringLiteral("ＭＳ Ｐゴシック") + QStringLiteral("xyz"));
    }

    void comboBoxKeepsTheTextAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::newRow("prefix, Tab") << "IPAM" << int(Qt::Key_Tab);
        QTest::newRow("prefix, Return") << "ipag" << int(Qt::Key_Return);
        QTest::newRow("entry in lower case, Return") << "ipamincho" << int(Qt::Key_Return);
        QTest::newRow("entry in lower case, Tab") << "ipamincho" << int(Qt::Key_Tab);
        QTest::newRow("entry exactly, keypad Enter") << "IPAMincho" << int(Qt::Key_Enter);
    }

    void comboBoxKeepsTheTextAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        FontField f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.combo->setFocus();
        f.combo->SetText(QString());
        QTest::keyClicks(f.combo->lineEdit(), typed);
        QTest::keyClick(f.combo->lineEdit(), Qt::Key(key));
        QCOMPARE(f.combo->Text(), typed);
        QCOMPARE(f.clicks.count(), 0);
    }

    void comboBoxWheelPicksOnlyWithTheFocus()
    {
        FontField f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        auto turnWheelOver = [&f](QWidget *focus) {
            focus->setFocus();
            QWheelEvent wheel(QPointF(5, 5), f.combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(f.combo, &wheel);
        };
        turnWheelOver(f.other);
        QCOMPARE(f.clicks.count(), 0);
        QCOMPARE(f.combo->Text(), QStringLiteral("ＭＳ Ｐゴシック"));
        turnWheelOver(f.combo);
        QCOMPARE(f.clicks.count(), 1);
        QCOMPARE(f.combo->Text(), f.combo->itemText(f.combo->currentIndex()));
    }

    void qtTranslationsFollowTheLanguage()
    {
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        host::installQtTranslations(*QCoreApplication::instance());
        QLocale::setDefault(QLocale::c());
        QVANTO_REQUIRE(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm"),
            "Qt's translations are not installed (qt6-translations-l10n)");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
        QCOMPARE(
            QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("ファイル名(&N):"));
    }

    void formWidthIsClientWidthPlusBorder()
    {
        host::Form form(3510, 4530);
        QCOMPARE(form.Width(), 3600.0);
        QCOMPARE(form.width(), 234);
        QCOMPARE(form.height(), 302);
        form.SetWidth(9000);
        QCOMPARE(form.width(), 594);
        QCOMPARE(form.Width(), 9000.0);
    }

    void formLoadPhaseNeverShowsTheWindow()
    {
        host::Form form(3510, 4530);
        form.BeginLoad();
        form.Show();
        QVERIFY(form.Visible());
        QVERIFY(!form.isVisible());
        form.Hide();
        QVERIFY(!form.Visible());
        form.SetVisible(true);
        QVERIFY(form.isVisible());
    }

    void errorReportShowsTheErrorAndCarriesOn()
    {
        fakes::FakeMessageBox box;
        host::ErrorReport report(box, QStringLiteral("QVanto"));
        report.run(
            [] { throw host::HostError(host::HostError::TypeMismatch, QStringLiteral("Type mismatch")); });
        report.run([] { throw 42; });
        QCOMPARE(box.shown.size(), size_t(2));
        QVERIFY(box.shown[0].text.contains(QStringLiteral("Type mismatch")));
        QVERIFY(box.shown[0].text.contains(QStringLiteral("13")));
        QCOMPARE(box.shown[0].caption, QStringLiteral("QVanto"));
    }

    void moduleFoldersDependOnWhereTheProgramRuns_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<bool>("installedOnly");
        static QTemporaryDir portable;
        QTest::newRow("installed copy") << QStringLiteral(QVANTO_INSTALL_BINDIR) << true;
        QTest::newRow("portable copy") << portable.path() << false;
    }

    void moduleFoldersDependOnWhereTheProgramRuns()
    {
        QFETCH(QString, programFolder);
        QFETCH(bool, installedOnly);
        QVANTO_REQUIRE(QFileInfo::exists(programFolder), "The installed program folder does not exist here.");
        const QStringList folders = host::Module::searchFolders(programFolder);
        QCOMPARE(folders.size(), installedOnly ? 1 : 3);
        QCOMPARE(folders.first() == programFolder, !installedOnly);
    }

    void modulesLoadOnFirstUseOrFailClearly()
    {
        host::Module missing(QStringLiteral("qvanto_no_such_module"));
        QVERIFY_THROWS_EXCEPTION(host::HostError, missing.function<void()>("anything"));
        try {
            missing.function<void()>("anything");
        } catch (const host::HostError &e) {
            QCOMPARE(e.code(), host::HostError::FileNotFound);
            QVERIFY2(e.message().contains(QStringLiteral("qvanto_no_such_module")), qPrintable(e.message()));
        }
        host::Module svg(QStringLiteral("qvanto_svg"));
        QVERIFY(!svg.isLoaded());
        QVERIFY(svg.function<host::MakeSvgDevice>(host::kMakeSvgDevice));
        QVERIFY(svg.isLoaded());
        QVERIFY_THROWS_EXCEPTION(host::HostError, svg.function<void()>("no_such_symbol"));
    }

    void afterFirstFrameRunsOnceTheWindowIsUp()
    {
        QWidget window;
        int runs = 0;
        host::afterFirstFrame(&window, [&runs] { ++runs; });
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
        window.show();
        QTRY_COMPARE(runs, 1);
        window.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(runs, 1);
    }
};

QTEST_MAIN(tst_Controls)
#include "tst_Controls.moc"
