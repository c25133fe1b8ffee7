#include "StampPdfCommand.h"

#include "StampPdf.h"
#include "frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/Clock.h"
#include "host/FontList.h"
#include "host/MessageBox.h"
#include "host/SoundPlayer.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <optional>

namespace app {

namespace {

struct Request {
    QString inPath;
    QString outPath;
    pdf::StampPlacement placement;
    std::optional<double> sizeMm;
};

std::optional<double> number(const QCommandLineParser &parser, const QString &name)
{
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// Reads the request; a message in *error when it is incomplete.
std::optional<Request> parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    for (const char *name : {"page", "x", "y", "size"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    // The parser skips the first entry as the program's name.
    if (!parser.parse(QStringList {QString::fromLatin1(kStampPdfCommand)} + arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    const QStringList files = parser.positionalArguments();
    const std::optional<double> page = number(parser, QStringLiteral("page"));
    const std::optional<double> x = number(parser, QStringLiteral("x"));
    const std::optional<double> y = number(parser, QStringLiteral("y"));
    const bool sizeGiven = parser.isSet(QStringLiteral("size"));
    const std::optional<double> size = number(parser, QStringLiteral("size"));
    if (files.size() != 2 || !page || *page != int(*page) || !x || !y || (sizeGiven && !size)) {
        *error
            = QStringLiteral("使い方: qvanto stamp-pdf 入力.pdf 出力.pdf --page N --x MM --y MM [--size MM]");
        return std::nullopt;
    }
    return Request {files[0], files[1], {int(*page), *x, *y}, size};
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

} // namespace

int RunStampPdf(const QStringList &arguments, host::Services services, QTextStream &out, QTextStream &err)
{
    QString error;
    std::optional<Request> request = parse(arguments, &error);
    std::unique_ptr<pdf::PdfDocument> document = request ? OpenPdfFile(request->inPath, &error) : nullptr;
    if (!document) {
        err << error << Qt::endl;
        return kPdfRefused;
    }
    // The window's own start-up gives the stamp its rows, fonts, ink, date
    // and size; it stays off screen.
    frm_QVanto window(services);
    window.Form_Load();
    request->placement.sizeMm = request->sizeMm.value_or(PdfStampSizeMm(window.options()));
    const PdfOutcome outcome
        = WriteStampedPdf(window, *document, request->inPath, request->outPath, request->placement);
    if (!outcome.number.isEmpty())
        out << outcome.number << Qt::endl;
    if (!outcome.message.isEmpty())
        err << outcome.message << Qt::endl;
    return outcome.status;
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
    return RunStampPdf(arguments, host::Services {clock, app, fonts, messages, clipboard, sound}, out, err);
}

} // namespace app
