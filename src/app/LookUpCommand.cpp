#include "LookUpCommand.h"

#include "host/AppInfo.h"
#include "pdf/LoadPdfModule.h"
#include "stamp/LookUpRows.h"
#include "stamp/StampLookup.h"
#include "stamp/StampNow.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace app {

namespace {

// A name ending in .pdf, or any file that is there, is a document; the rest
// is a typed number.
bool namesAFile(const QString &argument)
{
    return argument.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) || QFileInfo::exists(argument);
}

void printRecords(const stamp::LookUpRow &row, QTextStream &out)
{
    for (const QString &record : row.records)
        out << record << "\n\n";
}

int lookUpNumber(const QString &argument, const QString &logPath, QTextStream &out, QTextStream &err)
{
    if (!stamp::DecodeStampId(argument)) {
        err << QStringLiteral("「%1」は押印番号ではありません。押印番号は 0〜9 と A〜Z でできています。")
                   .arg(argument.trimmed())
            << Qt::endl;
        return kLookUpRefused;
    }
    const stamp::LookUpAnswer answer = stamp::LookUpNumbers({{0, argument}}, logPath);
    const stamp::LookUpRow &row = answer.rows.front();
    if (row.records.isEmpty()) {
        err << QStringLiteral("押印番号 %1 (%2) はこの押印ログにありません: %3")
                   .arg(row.number, row.madeAt, QDir::toNativeSeparators(logPath))
            << Qt::endl;
        return kLookUpNotFound;
    }
    printRecords(row, out);
    return kLookUpFound;
}

int lookUpPdf(const QString &path, const QString &logPath, QTextStream &out, QTextStream &err)
{
    QString error;
    const std::unique_ptr<pdf::PdfDocument> document = pdf::OpenPdf(path, &error);
    if (!document) {
        err << error << Qt::endl;
        return kLookUpRefused;
    }
    std::vector<stamp::NumberOnPage> numbers;
    for (const pdf::FoundStamp &stamp : document->stamps())
        numbers.push_back({stamp.page, stamp.number});
    if (numbers.empty()) {
        err << QStringLiteral("%1 に押印番号はありません。").arg(QDir::toNativeSeparators(path)) << Qt::endl;
        return kLookUpNotFound;
    }
    const stamp::LookUpAnswer answer = stamp::LookUpNumbers(numbers, logPath);
    for (const stamp::LookUpRow &row : answer.rows) {
        out << stamp::LookUpRowSummary(row) << '\n';
        printRecords(row, out);
    }
    if (answer.allLogged())
        return kLookUpFound;
    err << QStringLiteral("この押印ログにない押印番号があります: %1").arg(QDir::toNativeSeparators(logPath))
        << Qt::endl;
    return kLookUpNotFound;
}

} // namespace

int RunLookUp(const QStringList &arguments, const QString &logPath, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments[0].trimmed().isEmpty()) {
        err << QStringLiteral("使い方: qvanto lookup 押印番号|ファイル.pdf") << Qt::endl;
        return kLookUpRefused;
    }
    const QString argument = arguments[0];
    return namesAFile(argument) ? lookUpPdf(argument, logPath, out, err)
                                : lookUpNumber(argument, logPath, out, err);
}

int RunLookUpCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunLookUp(arguments, stamp::StampLogPath(host::AppInfo::forRunningProgram()), out, err);
}

} // namespace app
