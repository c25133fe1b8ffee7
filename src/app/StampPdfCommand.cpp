#include "StampPdfCommand.h"

#include "PageList.h"
#include "SignPassword.h"
#include "StampPdf.h"
#include "frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/Clock.h"
#include "host/FileOpener.h"
#include "host/FontList.h"
#include "host/MessageBox.h"
#include "host/SoundPlayer.h"
#include "settings/SavedStamps.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <optional>
#include <unistd.h>

namespace app {

namespace {

constexpr char kUsage[]
    = "使い方: qvanto stamp-pdf 入力.pdf 出力.pdf (--page N | --pages 一覧) --x MM --y MM [--size MM]\n"
      "        [--sign 鍵.p12 [--tsa URL]]\n"
      "        qvanto stamp-pdf --out-dir フォルダ (--page N | --pages 一覧) --x MM --y MM [--size MM] "
      "入力.pdf…\n"
      "詳しくは qvanto stamp-pdf --help";

constexpr char kHelp[]
    = "使い方:\n"
      "  qvanto stamp-pdf 入力.pdf 出力.pdf (--page N | --pages 一覧) --x MM --y MM [--size MM]\n"
      "                   [--sign 鍵.p12 [--tsa URL]]\n"
      "  qvanto stamp-pdf --out-dir フォルダ (--page N | --pages 一覧) --x MM --y MM [--size MM] 入力.pdf…\n"
      "\n"
      "今の印 (設定ファイルの行・書体・色と今日の日付) を PDF のページに押します。\n"
      "PDF 1 つにつき押印番号を 1 つ取って押印ログに 1 行記録し、番号を標準出力に書きます\n"
      "(--out-dir では番号と出力先をタブで区切って 1 行ずつ)。入力のファイルは変えません。\n"
      "\n"
      "オプション:\n"
      "  --page N            N ページ目に押します (1 から数えます)\n"
      "  --pages 一覧        一覧のページに同じ印を押します: all (すべて)、last (最後)、\n"
      "                      または 1,3-5 のようにページ番号と範囲をコンマで区切ったもの\n"
      "  --x MM              印の中心: ページの左端から右へ何 mm か\n"
      "  --y MM              印の中心: ページの上端から下へ何 mm か\n"
      "  --size MM           印の円の直径 (10〜40 mm)。省略すると設定の大きさ、なければ 18 mm\n"
      "  --stamp 名前        残した印 (設定のフォルダの stamps/名前.ini) を押します。\n"
      "                      省略すると既定の印\n"
      "  --out-dir フォルダ  入力ごとに フォルダ/<名前>_押印.pdf を書き、それぞれに番号を取ります。\n"
      "                      既にあるファイルは上書きしません\n"
      "  --sign 鍵.p12       印を PDF の電子署名 (PAdES) の見た目にします。鍵のパスワードは\n"
      "                      環境変数 QVANTO_SIGN_PASSWORD から、なければ端末で尋ねます。\n"
      "                      署名の理由は「押印番号 <番号>」、署名者は証明書の名前です\n"
      "  --tsa URL           署名に時刻認証局 (RFC 3161) の時刻印を付けます (10 秒まで待ちます)。\n"
      "                      省略すると設定ファイルの tsa の行の URL を使います\n"
      "  -h, --help          この説明を表示します\n"
      "\n"
      "位置はページを表示したとき (回転と切り抜きのあと) の左上から測ります。印の円全体が\n"
      "ページに収まらない位置、ないページ、注釈を禁じられた PDF には押しません。\n"
      "\n"
      "終了状態: 0 すべて押印した、2 押印しなかった入力がある (理由は標準エラー出力に)\n"
      "\n"
      "例:\n"
      "  qvanto stamp-pdf 稟議書.pdf 稟議書_押印.pdf --page 1 --x 170 --y 40\n"
      "  qvanto stamp-pdf 稟議書.pdf 稟議書_押印.pdf --pages all --x 170 --y 40 --size 15\n"
      "  qvanto stamp-pdf --out-dir 押印済み --pages 1,3-5 --x 170 --y 260 a.pdf b.pdf c.pdf\n"
      "  qvanto stamp-pdf 稟議書.pdf 稟議書_署名.pdf --page 1 --x 170 --y 40 --sign 山田.p12 \\\n"
      "      --tsa http://tsa.example.jp/\n";

struct Request {
    bool help = false;
    QStringList inputs;
    QString outPath; // the two-file form
    QString outDir; // many files
    PageList pages = PageList::single(1);
    double xMm = 0;
    double yMm = 0;
    std::optional<double> sizeMm;
    QString stamp; // a saved stamp's name; empty for the default one
    QString keyPath; // --sign
    QString tsaUrl; // --tsa
};

std::optional<double> number(const QCommandLineParser &parser, const QString &name)
{
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString usageError(const QString &what)
{
    return what.isEmpty() ? QString::fromUtf8(kUsage) : what + u'\n' + QString::fromUtf8(kUsage);
}

// Reads the request; a message in *error when it is incomplete or wrong.
std::optional<Request> parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    for (const char *name : {"page", "pages", "x", "y", "size", "out-dir", "stamp", "sign", "tsa"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringList {QStringLiteral("h"), QStringLiteral("help")}));
    // The parser skips the first entry as the program's name.
    if (!parser.parse(QStringList {QString::fromLatin1(kStampPdfCommand)} + arguments)) {
        *error = usageError(parser.errorText());
        return std::nullopt;
    }
    Request request;
    if (parser.isSet(QStringLiteral("help"))) {
        request.help = true;
        return request;
    }
    const QStringList files = parser.positionalArguments();
    const bool manyFiles = parser.isSet(QStringLiteral("out-dir"));
    const std::optional<double> page = number(parser, QStringLiteral("page"));
    const bool pagesGiven = parser.isSet(QStringLiteral("pages"));
    const std::optional<double> x = number(parser, QStringLiteral("x"));
    const std::optional<double> y = number(parser, QStringLiteral("y"));
    const bool sizeGiven = parser.isSet(QStringLiteral("size"));
    const std::optional<double> size = number(parser, QStringLiteral("size"));
    const bool filesFit = manyFiles ? !files.isEmpty() : files.size() == 2;
    const bool pageFits = pagesGiven ? !parser.isSet(QStringLiteral("page")) : page && *page == int(*page);
    if (!filesFit || !pageFits || !x || !y) {
        *error = usageError({});
        return std::nullopt;
    }
    if (sizeGiven && !(size && *size >= StampOptions::kMinStampMm && *size <= StampOptions::kMaxStampMm)) {
        *error = usageError(QStringLiteral("印の大きさ「%1」は使えません: --size は %2〜%3 mm です。")
                                .arg(parser.value(QStringLiteral("size")))
                                .arg(StampOptions::kMinStampMm)
                                .arg(StampOptions::kMaxStampMm));
        return std::nullopt;
    }
    if (pagesGiven) {
        const std::optional<PageList> pages = PageList::parse(parser.value(QStringLiteral("pages")));
        if (!pages) {
            *error = usageError(
                QStringLiteral("ページの一覧「%1」は読めません: all、last、1,3-5 のように書きます。")
                    .arg(parser.value(QStringLiteral("pages"))));
            return std::nullopt;
        }
        request.pages = *pages;
    } else {
        request.pages = PageList::single(int(*page));
    }
    request.xMm = *x;
    request.yMm = *y;
    request.sizeMm = size;
    request.stamp = parser.value(QStringLiteral("stamp"));
    if (parser.isSet(QStringLiteral("stamp")) && !bas_QVanto::IsStampName(request.stamp)) {
        *error = usageError(QStringLiteral("「%1」は印の名前ではありません。").arg(request.stamp));
        return std::nullopt;
    }
    request.keyPath = parser.value(QStringLiteral("sign"));
    request.tsaUrl = parser.value(QStringLiteral("tsa"));
    if (!request.tsaUrl.isEmpty() && request.keyPath.isEmpty()) {
        *error = usageError(QStringLiteral("--tsa は --sign と使います。"));
        return std::nullopt;
    }
    if (manyFiles) {
        request.inputs = files;
        request.outDir = parser.value(QStringLiteral("out-dir"));
    } else {
        request.inputs = {files[0]};
        request.outPath = files[1];
    }
    return request;
}

std::vector<pdf::StampPlacement> placementsOn(
    const Request &request, const pdf::PdfDocument &document, double sizeMm)
{
    std::vector<pdf::StampPlacement> placements;
    for (const int page : request.pages.pages(document.pageCount()))
        placements.push_back({page, request.xMm, request.yMm, sizeMm});
    return placements;
}

// The message for an input, its name first.
QString aboutInput(const QString &inPath, const QString &message)
{
    const QString name = QDir::toNativeSeparators(inPath);
    return message.startsWith(name) ? message : name + QStringLiteral(": ") + message;
}

// The command shows nothing and makes no sound: messages go to the error
// stream, the clipboard and the sound are never touched.
class StreamMessages final : public host::MessageBox {
public:
    explicit StreamMessages(QTextStream &err) : m_err(err) { }
    void show(const QString &text, const QString &, Icon) override { m_err << text << Qt::endl; }

private:
    QTextStream &m_err;
};
class NoClipboard final : public host::Clipboard {
public:
    void Clear() override { }
    void SetData(const QImage &, const QByteArray &) override { }
};
class NoSound final : public host::SoundPlayer {
public:
    bool play(const QString &, quint32) override { return false; }
};

// One input of --out-dir, opened here and stamped unless its output's name
// is taken.
PdfOutcome stampIntoFolder(frm_QVanto &window, const Request &request, const QString &inPath,
    const QString &outPath, double sizeMm, PdfSigning *signing)
{
    QString error;
    const std::unique_ptr<pdf::PdfDocument> document = OpenPdfFile(inPath, &error);
    if (!document)
        return {kPdfRefused, {}, error};
    // Another input of the same name, or an earlier run, wrote it: the user
    // named no file to replace.
    if (QFileInfo::exists(outPath) || QFileInfo(outPath).isSymLink())
        return {kPdfRefused, {},
            QStringLiteral("出力先に同じ名前のファイルがあるため、上書きしません: %1")
                .arg(QDir::toNativeSeparators(outPath))};
    return WriteStampedPdf(
        window, *document, inPath, outPath, placementsOn(request, *document, sizeMm), signing);
}

} // namespace

int RunStampPdf(
    const QStringList &arguments, host::Services services, QTextStream &out, QTextStream &err, bool progress)
{
    QString error;
    const std::optional<Request> request = parse(arguments, &error);
    if (request && request->help) {
        out << kHelp << Qt::flush;
        return kPdfStamped;
    }
    if (request && !request->stamp.isEmpty()
        && !bas_QVanto::SavedStampNames(services.app).contains(request->stamp))
        error = QStringLiteral("印「%1」がありません: %2")
                    .arg(request->stamp,
                        QDir::toNativeSeparators(bas_QVanto::SavedStampPath(services.app, request->stamp)));
    if (request && !request->outDir.isEmpty() && !QFileInfo(request->outDir).isDir())
        error = QStringLiteral("出力先のフォルダがありません: %1")
                    .arg(QDir::toNativeSeparators(request->outDir));
    // The one input of the two-file form is opened before the window is
    // made: a refusal costs nothing.
    const bool oneFile = request && request->outDir.isEmpty();
    std::unique_ptr<pdf::PdfDocument> first
        = oneFile && error.isEmpty() ? OpenPdfFile(request->inputs[0], &error) : nullptr;
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return kPdfRefused;
    }
    // The window's own start-up gives the stamp its rows, fonts, ink, date
    // and size; it stays off screen.
    frm_QVanto window(services);
    window.Form_Load();
    if (!request->stamp.isEmpty())
        window.LoadStamp(request->stamp);
    // The signer and the timestamp server (given, or kept in the settings)
    // are checked before any number is taken, once for every input.
    std::unique_ptr<PdfSigning> signing;
    if (!request->keyPath.isEmpty()) {
        const QString tsaUrl
            = request->tsaUrl.isEmpty() ? window.settingText(QStringLiteral("tsa")) : request->tsaUrl;
        if (const std::optional<QByteArray> password = ReadSignPassword(&error))
            signing = OpenSigning(request->keyPath, *password, tsaUrl, services.clock.now(), &error);
        if (!signing) {
            err << error << Qt::endl;
            return kPdfRefused;
        }
    }
    const double sizeMm = request->sizeMm.value_or(PdfStampSizeMm(window.options()));

    int status = kPdfStamped;
    const qsizetype total = request->inputs.size();
    for (qsizetype i = 0; i < total; ++i) {
        const QString &inPath = request->inputs[i];
        if (progress && !oneFile)
            err << QStringLiteral("(%1/%2) %3").arg(i + 1).arg(total).arg(QDir::toNativeSeparators(inPath))
                << Qt::endl;
        const QString outPath = oneFile ? request->outPath : StampedPdfName(inPath, request->outDir);
        const PdfOutcome outcome = oneFile
            ? WriteStampedPdf(
                window, *first, inPath, outPath, placementsOn(*request, *first, sizeMm), signing.get())
            : stampIntoFolder(window, *request, inPath, outPath, sizeMm, signing.get());
        if (!outcome.number.isEmpty())
            out << outcome.number << (oneFile ? QString() : u'\t' + QDir::toNativeSeparators(outPath))
                << Qt::endl;
        if (!outcome.message.isEmpty())
            err << (oneFile ? outcome.message : aboutInput(inPath, outcome.message)) << Qt::endl;
        if (outcome.status != kPdfStamped)
            status = kPdfRefused;
    }
    return status;
}

int RunStampPdfCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const host::AppInfo app = host::AppInfo::forRunningProgram();
    host::SystemClock clock;
    host::QtFontList fonts;
    StreamMessages messages(err);
    NoClipboard clipboard;
    NoSound sound;
    host::DesktopFileOpener opener; // a command opens nothing
    return RunStampPdf(arguments, host::Services {clock, app, fonts, messages, clipboard, sound, opener}, out,
        err, ::isatty(STDERR_FILENO) == 1);
}

} // namespace app
