// Every output the user names goes through the one writer: the command's
// stamped PDF, the page view's 保存 and 名前を付けて保存. What lies at the
// name is refused before a number is taken, and a failure after that says
// which number it spent.
#include "app/SaveDialog.h"
#include "host/TextBox.h"
#include "pdf/LoadPdfModule.h"

#include "../app/TestWindow.h"
#include "PdfFixtures.h"
#include "StampPdfRun.h"
#include "fakes/FileSizeLimit.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 4242;
const QByteArray kVictim = "ssh-ed25519 AAAA the user's own key\n";

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The kind and size of what lies at the name, the name not followed.
QString whatIsAt(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("nothing");
    return QStringLiteral("%1 %2 %3").arg(st.st_mode).arg(st.st_size).arg(st.st_uid);
}

} // namespace

class tst_OutputNames : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_fixtures;
    QString m_in;

private slots:
    void initTestCase()
    {
        m_in = m_fixtures.filePath("ringi.pdf");
        QVERIFY(pdffixtures::writeA4(m_in, 1));
    }

    void everyWayOfSavingRefusesWhatIsNoFileOfTheUsers_data()
    {
        QTest::addColumn<QString>("way"); // command, page view, save as
        QTest::addColumn<QString>("obstacle");
        for (const char *way : {"command", "page view", "save as"})
            for (const char *obstacle :
                {"link to a file", "dangling link", "FIFO", "folder", "another user's file"})
                QTest::addRow("%s, %s", way, obstacle) << way << obstacle;
    }
    void everyWayOfSavingRefusesWhatIsNoFileOfTheUsers()
    {
        QFETCH(QString, way);
        QFETCH(QString, obstacle);
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath(way == "save as" ? "stamp.png" : "ringi_押印.pdf");
        const QString victim = folder.filePath("authorized_keys");
        QVERIFY(hardening::writeBytes(victim, kVictim));
        const QByteArray outName = QFile::encodeName(out);
        if (obstacle == "link to a file")
            QVERIFY(QFile::link(victim, out));
        if (obstacle == "dangling link")
            QVERIFY(QFile::link(folder.filePath("later"), out));
        if (obstacle == "FIFO")
            QCOMPARE(::mkfifo(outName.constData(), 0600), 0);
        if (obstacle == "folder")
            QVERIFY(QDir().mkpath(out));
        if (obstacle == "another user's file") {
            if (::geteuid() != 0) {
                if (qEnvironmentVariable("CI") == "true")
                    QFAIL("Only root can plant another user's file, and CI runs as root.");
                QSKIP("Only root can plant another user's file.");
            }
            QVERIFY(hardening::writeBytes(out, kVictim));
            QCOMPARE(::chown(outName.constData(), kOtherUser, kOtherUser), 0);
        }
        const QStringList before = entries(folder.path());
        const QString at = whatIsAt(out);
        const QString shownNumber = t.c().QVLabel[4]->Text();

        QString message;
        if (way == "command") {
            const pdffixtures::Run run
                = pdffixtures::stampPdf(t, {m_in, out, "--page", "1", "--x", "100", "--y", "100"});
            QCOMPARE(run.status, 2);
            QCOMPARE(run.out, QString());
            message = run.err;
        } else {
            if (way == "page view") {
                QString error;
                std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(m_in, &error);
                QVERIFY2(document, qPrintable(error));
                QCOMPARE(pdffixtures::stampInWindow(
                             t, {{m_in, out, std::move(document), {}}}, {{{1, 100, 100, 18}}}),
                    false);
            } else {
                t.window->SaveFaceAs(out);
            }
            QCOMPARE(t.messages.shown.size(), size_t(1));
            message = t.messages.shown.back().text;
            QVERIFY(t.sound.calls.empty());
        }
        QVERIFY2(message.contains(QDir::toNativeSeparators(out)), qPrintable(message));
        QCOMPARE(whatIsAt(out), at);
        QCOMPARE(hardening::readBytes(victim), kVictim);
        QCOMPARE(entries(folder.path()), before); // no temporary file left, no log
        QCOMPARE(t.c().QVLabel[4]->Text(), shownNumber); // no number taken
    }

    // The user's own file at the name is replaced, by every way.
    void everyWayOfSavingReplacesTheUsersFile_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("command") << "command" << QByteArray("%PDF");
        QTest::newRow("page view") << "page view" << QByteArray("%PDF");
        QTest::newRow("save as PNG") << "save as" << QByteArray("\x89PNG");
        QTest::newRow("save as SVG") << "save as svg" << QByteArray("<?xml");
    }
    void everyWayOfSavingReplacesTheUsersFile()
    {
        QFETCH(QString, way);
        QFETCH(QByteArray, signature);
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath(way == "save as" ? "stamp.png"
                : way == "save as svg"                       ? "stamp.svg"
                                                             : "ringi_押印.pdf");
        QVERIFY(hardening::writeBytes(out, "an older copy"));
        QCOMPARE(::chmod(QFile::encodeName(out).constData(), 0604), 0);
        if (way == "command") {
            const pdffixtures::Run run
                = pdffixtures::stampPdf(t, {m_in, out, "--page", "1", "--x", "100", "--y", "100"});
            QVERIFY2(run.status == 0, qPrintable(run.err));
        } else if (way == "page view") {
            QString error;
            std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(m_in, &error);
            QVERIFY2(document, qPrintable(error));
            QCOMPARE(
                pdffixtures::stampInWindow(t, {{m_in, out, std::move(document), {}}}, {{{1, 100, 100, 18}}}),
                true);
        } else {
            t.window->SaveFaceAs(out);
            QVERIFY(t.messages.shown.empty());
        }
        QVERIFY(hardening::readBytes(out).startsWith(signature));
        struct stat st = {};
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0604));
        QCOMPARE(hardening::readBytes(t.logPath()).count("QVID:"), way.startsWith("save as") ? 0 : 1);
    }

    // A write that fails once the number is issued: the number stays in the
    // log and is named, with the file and the system's reason, status 2.
    void aFailureAfterTheNumberSaysSo()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath("ringi_押印.pdf");
        pdffixtures::Run run;
        {
            // Room for a log record, not for the PDF, which starts with the input.
            fakes::FileSizeLimit limit(QFileInfo(m_in).size());
            run = pdffixtures::stampPdf(t, {m_in, out, "--page", "1", "--x", "100", "--y", "100"});
        }
        QCOMPARE(run.status, 2);
        const QByteArray log = hardening::readBytes(t.logPath());
        QCOMPARE(log.count("QVID:"), 1);
        const QString number = QString::fromLatin1(log.mid(5, log.indexOf(',') - 5));
        QVERIFY2(run.err.contains(QDir::toNativeSeparators(out))
                && run.err.contains(QString::fromLocal8Bit(std::strerror(EFBIG))) && run.err.contains(number),
            qPrintable(run.err));
        QVERIFY(!run.err.contains("Unknown error"));
        QCOMPARE(entries(folder.path()), QStringList {"qvanto.log"});
    }

    // The save dialog lists a link as itself, a dangling one too, and gives
    // back the link's own name, never the file it points to.
    void theSaveDialogShowsLinks()
    {
        QTemporaryDir folder;
        const QString target = folder.filePath("target.pdf");
        QVERIFY(hardening::writeBytes(target, "%PDF"));
        QVERIFY(QFile::link(target, folder.filePath("link.pdf")));
        QVERIFY(QFile::link(folder.filePath("nothing.pdf"), folder.filePath("dangling.pdf")));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        app::PrepareSaveDialog(dialog, folder.filePath("link.pdf"), {"PDF (*.pdf)"}, {"pdf"});
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        QTRY_COMPARE(model->rowCount(model->index(folder.path())), 3);
        QStringList listed;
        for (int row = 0; row < 3; ++row)
            listed << model->index(row, 0, model->index(folder.path())).data().toString();
        listed.sort();
        QCOMPARE(listed, (QStringList {"dangling.pdf", "link.pdf", "target.pdf"}));
        QCOMPARE(dialog.selectedFiles(), QStringList {folder.filePath("link.pdf")});
    }
};

QTEST_MAIN(tst_OutputNames)
#include "tst_OutputNames.moc"
