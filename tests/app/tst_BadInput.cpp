// The whole window fed what a user or a damaged settings file can give it:
// very long, control, non-BMP and right-to-left row texts, line breaks,
// face names that name nothing installed, huge or binary settings files,
// date fields that are not numbers and unusual window widths. Each case
// checks that the face still draws and that what is stored survives.
#include "Requirement.h"
#include "StoredText.h"
#include "TestWindow.h"

#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/FontResolver.h"
#include "host/OptionButton.h"
#include "host/TextBox.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using hardening::inkPixels;
using hardening::readBytes;
using hardening::TestWindow;
using hardening::writeBytes;

namespace {

const QString kDefaultFace = QStringLiteral("ＭＳ Ｐゴシック");

QString repeatedTo(const QString &piece, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += piece;
    text.truncate(length);
    return text;
}

QString controlCharacters()
{
    return QStringLiteral("会\tB") + QChar(0) + QStringLiteral("C") + QChar(7) + QStringLiteral("社");
}

using support::savedSettings;

} // namespace

class tst_BadInput : public QObject {
    Q_OBJECT
private slots:
    void oddRowTextsDrawAndAreKeptByteForByte_data();
    void oddRowTextsDrawAndAreKeptByteForByte();
    void lineBreaksNeverReachAField_data();
    void lineBreaksNeverReachAField();
    void unknownFaceNamesDrawInAJapaneseFace_data();
    void unknownFaceNamesDrawInAJapaneseFace();
    void damagedSettingsFilesStillStart_data();
    void damagedSettingsFilesStillStart();
    void settingsAreReadOnlyToTheLimit();
    void longestRowsSurviveARestart_data();
    void longestRowsSurviveARestart();
    void settingsFifoDoesNotHoldUpStartUp();
    void dateFieldThatIsNoNumber_data();
    void dateFieldThatIsNoNumber();
    void narrowWidthsWidenOnCopyRight_data();
    void narrowWidthsWidenOnCopyRight();
};

void tst_BadInput::oddRowTextsDrawAndAreKeptByteForByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("10,000 characters") << repeatedTo(QStringLiteral("株式会社QVanto日付印 "), 10000);
    QTest::newRow("10,000 characters outside the BMP") << repeatedTo(QStringLiteral("😀𠮷"), 20000);
    QTest::newRow("tab, NUL and bell") << controlCharacters();
    QTest::newRow("emoji and rare kanji") << QStringLiteral("😀𠮷野家😀");
    QTest::newRow("Arabic") << QStringLiteral("شركة النجمة");
    QTest::newRow("Hebrew") << QStringLiteral("חברה בע״מ");
    QTest::newRow("right-to-left among left-to-right") << QStringLiteral("QV שלום 123 مرحبا 会社");
    QTest::newRow("joiners and combining marks") << QStringLiteral("👨\u200D👩\u200D👧 e\u0301 か\u3099");
}

void tst_BadInput::oddRowTextsDrawAndAreKeptByteForByte()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QByteArray utf8 = text.toUtf8();
    QByteArray stampId;
    {
        TestWindow w(dir.path());
        for (int n = 0; n < 3; ++n)
            w.c().QVLabel[n]->SetText(QString());
        const int inkWithoutRows = inkPixels(w.face());
        for (int n = 0; n < 3; ++n)
            w.c().QVLabel[n]->SetText(text);
        QVERIFY(inkPixels(w.face()) > inkWithoutRows);

        w.c().cmdPetan->click();
        QVERIFY(w.messages.shown.empty());
        stampId = w.c().QVLabel[4]->Text().toUtf8();
        QCOMPARE(w.clipboard.picture, w.face());
        QCOMPARE(readBytes(w.logPath()),
            support::logRecord(QString::fromUtf8(stampId), QStringLiteral("2027/01/01 10:00:00"),
                {text, text, text, QStringLiteral("2027.01.01")}));
        w.close();
        QCOMPARE(readBytes(w.iniPath()),
            savedSettings(
                {text, text, text, QStringLiteral("2027.01.01")}, QStringList(4, kDefaultFace), 255, 0));
    }

    TestWindow again(dir.path());
    for (int n = 0; n < 3; ++n)
        QCOMPARE(again.c().QVLabel[n]->Text(), text);
    QVERIFY(again.messages.shown.empty());
}

void tst_BadInput::lineBreaksNeverReachAField_data()
{
    QTest::addColumn<QString>("field"); // "row" 0 or its "face"
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("kept");

    const struct {
        const char *name;
        QString entered;
        QString kept;
    } texts[] = {
        {"a line copied with its CR LF", QStringLiteral("株式会社QV\r\n"), QStringLiteral("株式会社QV")},
        {"CR between two lines", QStringLiteral("株式会社\r総務部"), QStringLiteral("株式会社総務部")},
        // Saved as it stood, the second line would be read as a colour that
        // is no number, and loading would stop there.
        {"LF before a line that reads as a key", QStringLiteral("QV\ncolor"), QStringLiteral("QVcolor")},
        // Line ends to other readers of the log: VT, FF, NEL, U+2028, U+2029.
        {"every other line separator", QStringLiteral("株\v式\f会\u0085社\u2028Q\u2029V"),
            QStringLiteral("株式会社QV")},
    };
    for (const char *field : {"row", "face"})
        for (const char *how : {"program write", "paste", "insert"})
            for (const auto &t : texts)
                QTest::addRow("%s, %s, %s", field, how, t.name)
                    << QString::fromLatin1(field) << QString::fromLatin1(how) << t.entered << t.kept;
}

void tst_BadInput::lineBreaksNeverReachAField()
{
    QFETCH(QString, field);
    QFETCH(QString, how);
    QFETCH(QString, entered);
    QFETCH(QString, kept);
    const bool inRow = field == u"row";
    const QString row0 = inRow ? kept : QStringLiteral("会 社 名");
    const QString face0 = inRow ? QStringLiteral("IPAMincho") : kept;
    QTemporaryDir dir;
    {
        TestWindow w(dir.path());
        for (host::ComboBox *face : w.c().cmbFontName)
            face->SetText(QStringLiteral("IPAMincho"));
        w.c().chkColor[4]->click();
        w.c().chkQVID->click();

        QLineEdit &edit
            = inRow ? static_cast<QLineEdit &>(*w.c().QVLabel[0]) : *w.c().cmbFontName[0]->lineEdit();
        if (how == u"program write") {
            if (inRow)
                w.c().QVLabel[0]->SetText(entered);
            else
                w.c().cmbFontName[0]->SetText(entered);
        } else if (how == u"paste") {
            edit.clear();
            QGuiApplication::clipboard()->setText(entered);
            edit.paste();
        } else {
            edit.clear();
            edit.insert(entered);
        }
        QCOMPARE(edit.text(), kept);
        QCOMPARE(w.c().QVLabel[0]->Text(), row0);
        QCOMPARE(w.c().cmbFontName[0]->Text(), face0);

        // The log record keeps its three lines.
        w.c().cmdPetan->click();
        const QList<QByteArray> lines = readBytes(w.logPath()).split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[1], "    " + row0.toUtf8() + ",部課係名,氏    名,2027.01.01\r");
        w.close();
    }

    // Everything saved after the field comes back at the next start.
    TestWindow again(dir.path());
    QCOMPARE(again.c().QVLabel[0]->Text(), row0);
    QCOMPARE(again.c().cmbFontName[0]->Text(), face0);
    QCOMPARE(again.c().QVLabel[2]->Text(), QStringLiteral("氏    名"));
    for (int n = 1; n < 4; ++n)
        QCOMPARE(again.c().cmbFontName[n]->Text(), QStringLiteral("IPAMincho"));
    QCOMPARE(again.window->InkColor, 16711680);
    QCOMPARE(again.c().chkQVID->Value(), 1);
}

void tst_BadInput::unknownFaceNamesDrawInAJapaneseFace_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("300 characters") << repeatedTo(QStringLiteral("IPAMincho"), 300);
    QTest::newRow("not installed") << QStringLiteral("QVanto No Such Face 明朝");
    QTest::newRow("vertical twin") << QStringLiteral("@IPAPGothic");
    QTest::newRow("control characters") << controlCharacters();
}

void tst_BadInput::unknownFaceNamesDrawInAJapaneseFace()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    TestWindow w(dir.path());
    const int inkOfFrameAndDate = [&] {
        for (int n = 0; n < 3; ++n)
            w.c().QVLabel[n]->SetText(QString());
        return inkPixels(w.face());
    }();
    w.c().QVLabel[0]->SetText(QStringLiteral("会 社 名"));
    w.c().QVLabel[1]->SetText(QStringLiteral("𠮷野家 😀"));
    w.c().QVLabel[2]->SetText(QStringLiteral("氏    名"));

    for (host::ComboBox *field : w.c().cmbFontName)
        field->SetText(name);
    w.c().cmbFontName[0]->Click();
    QVERIFY(w.messages.shown.empty());
    const QImage face = w.face();
    QVERIFY(inkPixels(face) > inkOfFrameAndDate);

    // The face it fell back on writes Japanese, and the picture is the one
    // that face draws when named. Asked of the face itself, not of the font
    // list, which names faces in the session's language.
    const QString family = host::FontResolver::shared().family(name);
    const QFontMetricsF fallback(host::FontResolver::shared().font(name, 12, {}));
    QVERIFY2(fallback.inFontUcs4(U'会') && fallback.inFontUcs4(U'名'), qPrintable(family));
    for (host::ComboBox *field : w.c().cmbFontName)
        field->SetText(family);
    w.c().cmbFontName[0]->Click();
    QCOMPARE(w.face(), face);
}

void tst_BadInput::damagedSettingsFilesStillStart_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("device"); // a device the settings file links to instead
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<qint32>("ink");

    const QStringList defaults {
        QStringLiteral("会 社 名"), QStringLiteral("部課係名"), QStringLiteral("氏    名")};
    const QByteArray good("label0,総務,IPAMincho\r\nlabel1,経理,IPAMincho\r\ncolor, 65280 \r\n");
    const QStringList goodRows {QStringLiteral("総務"), QStringLiteral("経理"), defaults[2]};

    const QByteArray shortLines
        = good + QByteArray("k,v\r\n#\r\n").repeated(4 * 1024 * 1024) + "label2,too late,x\r\n";
    QTest::newRow("40 MB of short lines") << shortLines << QString() << goodRows << 65280;

    QRandomGenerator random(20270101);
    QByteArray garbage(256 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
    QTest::newRow("binary after good lines") << good + garbage << QString() << goodRows << 65280;
    QTest::newRow("binary only") << garbage << QString() << defaults << 255;
    QTest::newRow("NUL bytes") << QByteArray(100000, '\0') + "\r\n" + good << QString() << goodRows << 65280;

    QTest::newRow("40,000-character line")
        << QByteArray("label0,総務,IPAMincho\r\nlabel1,") + QByteArray(40000, 'x') + ",y\r\ncolor, 0 \r\n"
        << QString() << QStringList {goodRows[0], defaults[1], defaults[2]} << 255;
    // Twenty fields are kept and the rest dropped, so nothing overflows.
    QTest::newRow("40,000 bytes of commas")
        << good + QByteArray(40000, ',') + "\r\nlabel2,e,f\r\n"
        << QString() << QStringList {goodRows[0], goodRows[1], QStringLiteral("e")} << 65280;

    // Links to endless devices: not followed, so nothing of them is read.
    QTest::newRow("endless zeros") << QByteArray() << QStringLiteral("/dev/zero") << defaults << 255;
    QTest::newRow("endless noise") << QByteArray() << QStringLiteral("/dev/urandom") << defaults << 255;
}

void tst_BadInput::damagedSettingsFilesStillStart()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, device);
    QFETCH(QStringList, rows);
    QFETCH(qint32, ink);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("qvanto.ini"));
    if (device.isEmpty()) {
        QVERIFY(writeBytes(ini, bytes));
    } else {
        QVANTO_REQUIRE(
            QFileInfo::exists(device), qPrintable(device + QStringLiteral(" is missing on this system")));
        QVERIFY(QFile::link(device, ini));
    }

    TestWindow w(dir.path());
    QVERIFY(w.window->form().isVisible());
    QVERIFY(w.messages.shown.empty());
    if (!rows.isEmpty()) {
        for (int n = 0; n < 3; ++n)
            QCOMPARE(w.c().QVLabel[n]->Text(), rows[n]);
        QCOMPARE(w.window->InkColor, ink);
    }
    QCOMPARE(w.c().QVLabel[3]->Text(), QStringLiteral("2027.01.01"));
    QVERIFY(inkPixels(w.face()) > 0);

    // The window works on: it stamps, and closing replaces a damaged file
    // that was read whole with one that the next start reads whole. A link
    // or a file past the read limit is left as it is.
    w.c().cmdPetan->click();
    QVERIFY(w.messages.shown.empty());
    QVERIFY(readBytes(w.logPath()).startsWith("QVID:"));
    w.c().QVLabel[2]->SetText(QStringLiteral("山田"));
    w.close();
    if (!device.isEmpty()) {
        QCOMPARE(QFileInfo(ini).symLinkTarget(), device);
        return;
    }
    if (bytes.size() > 1024 * 1024) { // past the read limit
        QCOMPARE(readBytes(ini), bytes);
        return;
    }
    QStringList shown, faces;
    for (int n = 0; n < 4; ++n) {
        shown << w.c().QVLabel[n]->Text();
        faces << w.c().cmbFontName[n]->Text();
    }
    QCOMPARE(readBytes(ini), savedSettings(shown, faces, w.window->InkColor, w.c().chkQVID->Value()));
}

void tst_BadInput::settingsAreReadOnlyToTheLimit()
{
    // A line that ends exactly at the 1 MiB limit is read; the first line
    // after it, and 30 MB more, are not even looked at.
    constexpr qsizetype kReadLimit = 1024 * 1024;
    QTemporaryDir dir;
    const QByteArray head("label0,first,IPAMincho\r\n");
    const QByteArray atLimit("label1,at the limit,IPAMincho\r\n");
    QByteArray bytes = head;
    bytes += QByteArray(kReadLimit - head.size() - atLimit.size() - 2, ' ') + "\r\n";
    bytes += atLimit;
    bytes += "label2,past the limit,IPAMincho\r\n";
    bytes += QByteArray(30 * 1024 * 1024, '\n');
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("qvanto.ini")), bytes));

    TestWindow warmUp(dir.path()); // fonts and caches are loaded once per process
    const std::optional<qint64> before = support::procSelfFigure("io", "rchar:");
    TestWindow w(dir.path());
    const std::optional<qint64> after = support::procSelfFigure("io", "rchar:");
    QCOMPARE(w.c().QVLabel[0]->Text(), QStringLiteral("first"));
    QCOMPARE(w.c().QVLabel[1]->Text(), QStringLiteral("at the limit"));
    QCOMPARE(w.c().QVLabel[2]->Text(), QStringLiteral("氏    名"));
    QVERIFY2(before && after, "no rchar in /proc/self/io");
    QVERIFY2(*after - *before < 2 * kReadLimit, qPrintable(QString::number(*after - *before)));
}

void tst_BadInput::longestRowsSurviveARestart_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<int>("rowUnits"); // kept in the row's box
    QTest::addColumn<int>("faceUnits"); // read back of the face name
    QTest::newRow("ASCII") << QStringLiteral("x") << 32000 << 64;
    // After one "a", each 𠮷 (two units) ends on an odd unit: the caps stop
    // a unit short rather than keep half of one.
    QTest::newRow("outside the BMP") << QStringLiteral("𠮷") << 31999 << 63;
}

void tst_BadInput::longestRowsSurviveARestart()
{
    // A row and its face name together must stay readable on the next start,
    // or that row and every setting after it would fall back to defaults.
    QFETCH(QString, piece);
    QFETCH(int, rowUnits);
    QFETCH(int, faceUnits);
    const QString longText = QStringLiteral("a") + piece.repeated(40000 / piece.size());
    QTemporaryDir dir;
    {
        TestWindow w(dir.path());
        w.c().QVLabel[0]->SetText(longText);
        w.c().cmbFontName[0]->SetText(longText);
        QCOMPARE(w.c().QVLabel[0]->Text(), longText.left(rowUnits));
        QCOMPARE(w.c().cmbFontName[0]->Text(), longText.left(rowUnits));
        w.c().QVLabel[2]->SetText(QStringLiteral("後の行"));
        w.window->chkColor_Click(4);
        w.close();
    }
    QVERIFY(!readBytes(dir.filePath(QStringLiteral("qvanto.ini"))).contains("\xEF\xBF\xBD")); // U+FFFD
    TestWindow again(dir.path());
    QCOMPARE(again.c().QVLabel[0]->Text(), longText.left(rowUnits));
    QCOMPARE(again.c().cmbFontName[0]->Text(), longText.left(faceUnits));
    QCOMPARE(again.c().QVLabel[2]->Text(), QStringLiteral("後の行"));
    QCOMPARE(again.window->InkColor, 16711680);
}

void tst_BadInput::settingsFifoDoesNotHoldUpStartUp()
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("qvanto.ini")));
    QVERIFY2(mkfifo(fifo.constData(), 0600) == 0, "cannot make a FIFO here");
    TestWindow w(dir.path()); // would wait for a writer for ever if opened
    QCOMPARE(w.c().QVLabel[0]->Text(), QStringLiteral("会 社 名"));
    QVERIFY(QFile::remove(QString::fromLocal8Bit(fifo)));
}

void tst_BadInput::dateFieldThatIsNoNumber_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");

    // Blanks only, a number with a tail, a number too large for a double, and
    // a text that parses to not-a-number.
    const QString texts[]
        = {QStringLiteral("   "), QStringLiteral("12abc"), QStringLiteral("1e999"), QStringLiteral("nan")};
    int row = 0;
    for (int field = 0; field < 3; ++field)
        for (const QString &text : texts) {
            const int button = 1 + (row++ % 2);
            QTest::addRow("%s, %s button, \"%s\"",
                field == 0       ? "year"
                    : field == 1 ? "month"
                                 : "day",
                button == 1 ? "left" : "right", qPrintable(text))
                << field << button << text;
        }
}

void tst_BadInput::dateFieldThatIsNoNumber()
{
    QFETCH(int, field);
    QFETCH(int, button);
    QFETCH(QString, text);
    const float fieldX[3] = {800, 2000, 2800};

    QTemporaryDir dir;
    TestWindow w(dir.path());
    const auto &c = w.c();
    c.QVDate[field]->SetText(text);
    QStringList dates;
    for (const host::TextBox *date : c.QVDate)
        dates << date->Text();
    const QImage face = w.face();
    const QString dateRow = c.QVLabel[3]->Text();

    emit c.Picture1->MouseDown(button, 0, fieldX[field], 1600);
    QCOMPARE(w.messages.shown.size(), size_t(1));
    QCOMPARE(w.messages.shown[0].icon, host::MessageBox::Icon::Critical);
    QVERIFY2(w.messages.shown[0].text.contains(QStringLiteral("Type mismatch")),
        qPrintable(w.messages.shown[0].text));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(c.QVDate[i]->Text(), dates[i]);
    QCOMPARE(c.QVLabel[3]->Text(), dateRow);
    QCOMPARE(w.face(), face);
    QVERIFY(support::folderEntries(dir.path()).isEmpty());

    // The other fields still step, and stamping goes through.
    const int other = (field + 1) % 3;
    emit c.Picture1->MouseDown(1, 0, fieldX[other], 1600);
    QVERIFY(c.QVDate[other]->Text() != dates[other]);
    c.cmdPetan->click();
    QCOMPARE(w.messages.shown.size(), size_t(1));
    QCOMPARE(w.clipboard.picture, w.face());
    QVERIFY(readBytes(w.logPath()).contains(c.QVLabel[3]->Text().toUtf8() + "\r\n\r\n"));
}

void tst_BadInput::narrowWidthsWidenOnCopyRight_data()
{
    QTest::addColumn<double>("width");
    QTest::newRow("one twip short") << 3599.0;
    QTest::newRow("1000") << 1000.0;
    QTest::newRow("no width") << 0.0;
    QTest::newRow("negative") << -1500.0;
}

void tst_BadInput::narrowWidthsWidenOnCopyRight()
{
    QFETCH(double, width);
    QTemporaryDir dir;
    TestWindow w(dir.path());
    host::Form &form = w.window->form();
    const QImage face = w.face();

    form.SetWidth(width);
    QCOMPARE(form.Width(), width);
    w.c().cmdCopyRight->click();
    QCOMPARE(form.Width(), 9000.0);
    QCOMPARE(form.width(), 594);
    w.c().cmdCopyRight->click();
    QCOMPARE(form.Width(), 3600.0);
    QCOMPARE(w.face(), face);
    QVERIFY(w.messages.shown.empty());
}

QTEST_MAIN(tst_BadInput)
#include "tst_BadInput.moc"
