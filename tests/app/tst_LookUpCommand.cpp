// `qvanto lookup` run as users run it: the built program, with its PDF
// module beside it, in a folder of its own that keeps its log.
#include "fakes/Sanitized.h"

#include "../pdf/PdfFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The largest resident memory of any child this process has waited for, in
// KiB: an upper bound for the last one.
long childrenPeakKiB()
{
    rusage usage = {};
    return ::getrusage(RUSAGE_CHILDREN, &usage) == 0 ? usage.ru_maxrss : -1;
}

// A file of `gigabytes` that starts as a PDF and holds nothing but NUL bytes
// after it, but for `tail`; sparse, so cheap to make.
bool writeHugeFile(const QString &path, qint64 gigabytes, const QByteArray &tail)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("%PDF-1.7\n") == 9
        && file.resize(gigabytes * 1024 * 1024 * 1024) && file.seek(file.size())
        && file.write(tail) == tail.size();
}

} // namespace

class tst_LookUpCommand : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_folder;
    QString m_number; // stamped into stamped.pdf

    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString logPath() const { return path(QStringLiteral("qvanto.log")); }

    Run run(const QStringList &arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(m_folder.path());
        process.start(path(QStringLiteral("qvanto")), arguments);
        Run result;
        // Generous: a hang fails, a slow machine does not.
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        for (const char *built : {QVANTO_PROGRAM, QVANTO_PDF_MODULE}) {
            const QString from = QString::fromUtf8(built);
            QVERIFY2(QFile::copy(from, path(QFileInfo(from).fileName())), built);
        }
        QVERIFY(QFile::setPermissions(path("qvanto"), QFile::permissions(path("qvanto")) | QFile::ExeOwner));
        QVERIFY(pdffixtures::writeA4(path("plain.pdf"), 2));
        QVERIFY(writeAll(path("letter.pdf"), "Dear reader,\n"));
        QVERIFY(QDir(m_folder.path()).mkdir("folder.pdf"));
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo.pdf")).constData(), 0600) == 0);
        const Run stamped
            = run({"stamp-pdf", "plain.pdf", "stamped.pdf", "--page", "2", "--x", "50", "--y", "50"});
        QVERIFY2(stamped.status == 0, qPrintable(stamped.err));
        m_number = stamped.out.trimmed();
        QVERIFY(readAll(logPath()).startsWith("QVID:" + m_number.toLatin1() + ","));
    }

    // Status 0 when every number asked about is in the log, 1 when one is
    // not, 2 for what is no number or no readable PDF; records on standard
    // output, everything else on standard error.
    void answersWithItsStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("logKept");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out"); // lines standard output holds
        QTest::addColumn<QString>("err"); // what standard error says
        const QString record = "QVID:NUMBER,";
        QTest::newRow("logged number") << QStringList {"lookup", "NUMBER"} << true << 0
                                       << QStringList {record, "    会 社 名,部課係名,氏    名,"} << "";
        QTest::newRow("lower case, spaces")
            << QStringList {"lookup", " number "} << true << 0 << QStringList {record} << "";
        QTest::newRow("number not logged")
            << QStringList {"lookup", "1NNXBR00"} << true << 1 << QStringList {} << "1NNXBR00";
        QTest::newRow("no number") << QStringList {"lookup", "hello!"} << true << 2 << QStringList {}
                                   << "押印番号ではありません";
        QTest::newRow("nothing asked") << QStringList {"lookup"} << true << 2 << QStringList {} << "使い方";
        QTest::newRow("two asked") << QStringList {"lookup", "NUMBER", "NUMBER"} << true << 2
                                   << QStringList {} << "使い方";
        QTest::newRow("stamped PDF") << QStringList {"lookup", "stamped.pdf"} << true << 0
                                     << QStringList {"2 ページ  NUMBER  ", "ログにあり", record} << "";
        QTest::newRow("stamped PDF, log gone")
            << QStringList {"lookup", "stamped.pdf"} << false << 1
            << QStringList {"2 ページ  NUMBER  ", "ログになし"} << "ない押印番号";
        QTest::newRow("PDF without stamps")
            << QStringList {"lookup", "plain.pdf"} << true << 1 << QStringList {} << "押印番号はありません";
        QTest::newRow("not a PDF") << QStringList {"lookup", "letter.pdf"} << true << 2 << QStringList {}
                                   << "PDF ファイルではありません";
        QTest::newRow("missing PDF") << QStringList {"lookup", "absent.pdf"} << true << 2 << QStringList {}
                                     << "開けません";
        QTest::newRow("a folder") << QStringList {"lookup", "folder.pdf"} << true << 2 << QStringList {}
                                  << "開けません";
        QTest::newRow("a FIFO, never waited on")
            << QStringList {"lookup", "fifo.pdf"} << true << 2 << QStringList {} << "開けません";
    }
    void answersWithItsStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, logKept);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        QFETCH(QString, err);
        arguments.replaceInStrings("NUMBER", m_number);
        arguments.replaceInStrings("number", m_number.toLower());
        const QByteArray log = readAll(logPath());
        if (!logKept)
            QVERIFY(QFile::rename(logPath(), logPath() + ".away"));

        const Run result = run(arguments);
        if (!logKept)
            QVERIFY(QFile::rename(logPath() + ".away", logPath()));
        QVERIFY2(result.status == status,
            qPrintable(QStringLiteral("status %1: %2").arg(result.status).arg(result.err)));
        for (QString line : out) {
            line.replace("NUMBER", m_number);
            QVERIFY2(result.out.contains(line), qPrintable(result.out));
        }
        if (out.isEmpty())
            QCOMPARE(result.out, QString());
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
        if (status == 0)
            QVERIFY2(!result.err.contains("押印"), qPrintable(result.err));
        QCOMPARE(readAll(logPath()), log);
    }

    // A file of gigabytes that looks like a PDF at its start is refused
    // before it is read, by the look-up and by stamping; one that also ends
    // like one is refused once reading it takes too long. Never in more
    // memory than a small PDF takes.
    void refusesAHugeFileInLittleMemory_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        const QByteArray pointer = "startxref\n9\n%%EOF\n";
        QTest::newRow("look-up, no end") << QByteArray() << "lookup"
                                         << "壊れて";
        QTest::newRow("look-up, an end pointing nowhere") << pointer << "lookup"
                                                          << "壊れて";
        QTest::newRow("stamping, no end") << QByteArray() << "stamp-pdf"
                                          << "大きすぎます";
        QTest::newRow("stamping, an end pointing nowhere") << pointer << "stamp-pdf"
                                                           << "大きすぎます";
    }
    void refusesAHugeFileInLittleMemory()
    {
        QFETCH(QByteArray, tail);
        QFETCH(QString, command);
        QFETCH(QString, message);
        const QString huge = path("huge.pdf");
        QVERIFY(writeHugeFile(huge, 3, tail));
        const QStringList arguments = command == "lookup"
            ? QStringList {command, huge}
            : QStringList {command, huge, path("out.pdf"), "--page", "1", "--x", "50", "--y", "50"};

        const Run result = run(arguments);
        const long peakKiB = childrenPeakKiB();
        QFile::remove(huge);
        QVERIFY2(result.status == 2,
            qPrintable(QStringLiteral("status %1: %2").arg(result.status).arg(result.err)));
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!QFileInfo::exists(path("out.pdf")));
        QVERIFY(peakKiB > 0);
        QVERIFY2(fakes::kSanitized || peakKiB < 300 * 1024,
            qPrintable(QStringLiteral("a child held %1 KiB").arg(peakKiB)));
    }
};

QTEST_MAIN(tst_LookUpCommand)
#include "tst_LookUpCommand.moc"
