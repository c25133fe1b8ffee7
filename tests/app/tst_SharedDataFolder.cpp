// A data folder others can write is not used: the user is told once at
// start-up, stamping still works, and nothing is read from or written there.
#include "TestWindow.h"

#include "host/TextBox.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_SharedDataFolder : public QObject {
    Q_OBJECT
private slots:
    void saidOnceAndNothingWrittenThere()
    {
        QTemporaryDir scratch;
        const QString shared = scratch.filePath(QStringLiteral("shared"));
        const QString planted = shared + QStringLiteral("/QVanto");
        QVERIFY(QDir().mkpath(planted));
        for (const QString &folder : {shared, planted})
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
        // Settings someone else left there, to be taken for the user's own.
        QFile ini(planted + QStringLiteral("/qvanto.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("label0,PLANTED,IPAPGothic\r\n") > 0);
        ini.close();
        const qint64 iniSize = QFileInfo(ini).size();

        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(shared));
        host::AppInfo where = hardening::TestWindow::programIn(shared);
        where.EXEName = QStringLiteral("qvanto");
        where.placeDataFiles({});
        saved.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", saved);
        QVERIFY(where.FolderShared);

        hardening::TestWindow w(where);
        QCOMPARE(w.messages.shown.size(), size_t(1));
        QVERIFY2(w.messages.shown[0].text.contains(QStringLiteral("ほかのユーザー")),
            qPrintable(w.messages.shown[0].text));
        QVERIFY(w.messages.shown[0].text.contains(planted));
        QVERIFY(w.c().QVLabel[0]->Text() != QStringLiteral("PLANTED"));
        w.c().cmdPetan->click();
        QVERIFY(!w.clipboard.picture.isNull());
        w.close();
        QCOMPARE(QDir(planted).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList {QStringLiteral("qvanto.ini")});
        QCOMPARE(QFileInfo(ini).size(), iniSize);
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList {QStringLiteral("QVanto")});
    }
};

QTEST_MAIN(tst_SharedDataFolder)
#include "tst_SharedDataFolder.moc"
