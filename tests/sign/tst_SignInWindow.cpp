// Signing from the window: the key chosen once and kept, the password asked
// at each signing (never kept), a wrong one refused without a number, a right
// one giving a signature pdfsig finds valid.
#include "app/pdf/LookUpDialog.h"
#include "host/TextBox.h"
#include "pdf/LoadPdfModule.h"

#include "../app/TestWindow.h"
#include "../pdf/PdfFixtures.h"
#include "../pdf/StampPdfRun.h"

#include <QApplication>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_SignInWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_fixtures;
    QString m_in;
    QString m_ca;

    // Types `password` into the password dialog as soon as it shows.
    static void answerPassword(const QString &password)
    {
        QTimer::singleShot(50, [password] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return answerPassword(password);
            QCOMPARE(dialog->textEchoMode(), QLineEdit::Password);
            dialog->setTextValue(password);
            dialog->accept();
        });
    }

private slots:
    void initTestCase()
    {
        m_in = m_fixtures.filePath("ringi.pdf");
        QVERIFY(pdffixtures::writeA4(m_in, 1));
        m_ca = m_fixtures.filePath("ca");
        QVERIFY(pdffixtures::run("bash", {QStringLiteral(QVANTO_TESTS_DIR "/sign/make_office_ca.sh"), m_ca}));
    }

    void keyKeptPasswordAskedEachTime_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("isSigned");
        QTest::newRow("right password") << "secret" << true;
        QTest::newRow("wrong password") << "wrong" << false;
    }
    void keyKeptPasswordAskedEachTime()
    {
        QFETCH(QString, password);
        QFETCH(bool, isSigned);
        QTemporaryDir folder;
        const QString key = m_ca + "/user.p12";
        {
            hardening::TestWindow t(folder.path());
            t.window->SetSigningKey(key);
            QVERIFY(t.window->optionsMenu().signKey->isChecked());
            t.close();
        }
        const QByteArray ini = hardening::readBytes(folder.filePath("qvanto.ini"));
        QVERIFY(ini.contains("signcert, " + key.toUtf8() + " \r\n"));
        QVERIFY(!ini.contains(password.toUtf8()));

        hardening::TestWindow t(folder.path());
        QVERIFY(t.window->optionsMenu().signKey->isChecked());
        const QString shownNumber = t.c().QVLabel[4]->Text();
        QString error;
        std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(m_in, &error);
        QVERIFY2(document, qPrintable(error));
        const QString out = folder.filePath("signed.pdf");
        answerPassword(password);
        const std::optional<bool> written
            = pdffixtures::stampInWindow(t, {{m_in, out, document, {}}}, {{{1, 100, 100, 18}}, false});
        QCOMPARE(written, std::optional<bool>(isSigned));
        QCOMPARE(QFile::exists(out), isSigned);
        if (!isSigned) {
            QCOMPARE(t.messages.shown.size(), size_t(1));
            QVERIFY2(t.messages.shown.back().text.contains("パスワード"),
                qPrintable(t.messages.shown.back().text));
            QCOMPARE(t.c().QVLabel[4]->Text(), shownNumber); // no number taken
            QVERIFY(!QFile::exists(folder.filePath("qvanto.log")));
            return;
        }
        QByteArray report;
        pdffixtures::run("pdfsig", {out}, {}, &report);
        QVERIFY2(report.contains("Signature is Valid") && report.contains("ETSI.CAdES.detached"),
            report.constData());
        QVERIFY(report.contains("押印 " + t.c().QVLabel[4]->Text().toUtf8()));

        // The window's look-up judges the signature over each stamp: valid
        // (the office CA is not among the system's), and broken by one
        // changed byte of what it signed.
        QByteArray bytes = hardening::readBytes(out);
        bytes[10] = bytes[10] == '\xE2' ? '\xE3' : '\xE2'; // in the header's comment line
        const QString changed = folder.filePath("changed.pdf");
        QVERIFY(hardening::writeBytes(changed, bytes));
        for (const auto &[path, verdict] : {std::pair {out, "有効"}, std::pair {changed, "無効"}}) {
            t.window->LookUpStamp(path);
            QTRY_VERIFY_WITH_TIMEOUT(t.window->lookUpDialog() && t.window->lookUpDialog()->isDone(), 30000);
            const QStringList row = t.window->lookUpDialog()->row(0);
            QVERIFY2(row.last().startsWith(QStringLiteral("山田 太郎: ") + verdict), qPrintable(row.last()));
            t.window->lookUpDialog()->close();
            QTRY_VERIFY(!t.window->lookUpDialog());
        }
    }
};

QTEST_MAIN(tst_SignInWindow)
#include "tst_SignInWindow.moc"
