// Where save dialogs open: never in the folder the program was started from.
#include "app/SaveDialog.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_SaveDialog : public QObject {
    Q_OBJECT
private slots:
    void startFolder_data()
    {
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("expectedFolder"); // "" for the proposed name as it stands

        QTest::newRow("documents before any save") << "a.png"
                                                   << ""
                                                   << "docs"
                                                   << "docs";
        QTest::newRow("the last folder used wins") << "a.png"
                                                   << "last"
                                                   << "docs"
                                                   << "last";
        QTest::newRow("a vanished last folder") << "a.png"
                                                << "gone"
                                                << "docs"
                                                << "docs";
        QTest::newRow("no documents folder") << "a.png"
                                             << ""
                                             << "gone"
                                             << "home";
        QTest::newRow("an absolute name stands") << "/x/a.png"
                                                 << "last"
                                                 << "docs"
                                                 << "";
    }

    void startFolder()
    {
        QFETCH(QString, proposed);
        QFETCH(QString, last);
        QFETCH(QString, documents);
        QFETCH(QString, expectedFolder);
        QTemporaryDir root, work;
        QDir(root.path()).mkpath("last");
        QDir(root.path()).mkpath("docs");
        QDir(root.path()).mkpath("home");
        // A working folder of its own, which a bare name must not fall into.
        QDir::setCurrent(work.path());
        auto in = [&](const QString &name) { return name.isEmpty() ? QString() : root.filePath(name); };
        const QString start = app::SaveStartName(proposed, {in(last), in(documents), root.filePath("home")});
        QCOMPARE(start, expectedFolder.isEmpty() ? proposed : root.filePath(expectedFolder + "/a.png"));
        QVERIFY(!start.startsWith(work.path()));
    }

    void remembersTheFolderLastChosen()
    {
        QTemporaryDir chosen, work;
        QDir::setCurrent(work.path());
        QVERIFY(!app::SaveStartName("a.pdf").startsWith(work.path()));
        app::RememberSaveFolder(chosen.filePath("b.pdf"));
        QCOMPARE(app::SaveStartName("a.pdf"), chosen.filePath("a.pdf"));
    }
};

QTEST_MAIN(tst_SaveDialog)
#include "tst_SaveDialog.moc"
