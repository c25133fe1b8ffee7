#include "LookUpCommand.h"

#include "StampNumbers.h"
#include "host/AppInfo.h"
#include "pdf/LoadPdfModule.h"
#include "registry/OpenRegistry.h"
#include "stamp/LookUpRows.h"
#include "stamp/StampLookup.h"
#include "stamp/StampNow.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include <algorithm>

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

// The registry's entries for these numbers, printed; the numbers it holds.
QSet<QString> askRegistry(
    stamp::Registry *registry, const QStringList &numbers, QTextStream &out, QTextStream &err)
{
    QSet<QString> found;
    QString error;
    for (const stamp::RegistryEntry &entry : AskRegistry(registry, numbers, &error)) {
        out << stamp::RegistryEntryLine(entry) << '\n';
        found.insert(entry.number);
    }
    if (!error.isEmpty())
        err << error << Qt::endl;
    return found;
}

int lookUpNumber(const QString &argument, const QString &logPath, QTextStream &out, QTextStream &err,
    stamp::Registry *registry)
{
    if (!stamp::DecodeStampId(argument)) {
        err << QStringLiteral("「%1」は押印番号ではありません。押印番号は 0〜9 と A〜Z でできています。")
                   .arg(argument.trimmed())
            << Qt::endl;
        return kLookUpRefused;
    }
    const stamp::LookUpAnswer answer = stamp::LookUpNumbers({{0, argument}}, logPath);
    const stamp::LookUpRow &row = answer.rows.front();
    printRecords(row, out);
    const bool registered = !askRegistry(registry, {row.number}, out, err).isEmpty();
    if (row.records.isEmpty() && !registered) {
        err << QStringLiteral("押印番号 %1 (%2) はこの押印ログにありません: %3")
                   .arg(row.number, row.madeAt, QDir::toNativeSeparators(logPath))
            << Qt::endl;
        return kLookUpNotFound;
    }
    return kLookUpFound;
}

int lookUpPdf(const QString &path, const QString &logPath, QTextStream &out, QTextStream &err,
    stamp::Registry *registry)
{
    QString error;
    const std::unique_ptr<pdf::PdfDocument> document = pdf::OpenPdf(path, &error);
    if (!document) {
        err << error << Qt::endl;
        return kLookUpRefused;
    }
    const std::vector<stamp::NumberOnPage> numbers = NumbersOnStamps(*document);
    if (numbers.empty()) {
        err << NoStampNumbersMessage(path) << Qt::endl;
        return kLookUpNotFound;
    }
    const stamp::LookUpAnswer answer = stamp::LookUpNumbers(numbers, logPath);
    QStringList asked;
    for (const stamp::LookUpRow &row : answer.rows) {
        out << stamp::LookUpRowSummary(row) << '\n';
        printRecords(row, out);
        asked << row.number;
    }
    const QSet<QString> registered = askRegistry(registry, asked, out, err);
    if (answer.allLogged())
        return kLookUpFound;
    if (registry && std::all_of(answer.rows.begin(), answer.rows.end(), [&](const stamp::LookUpRow &row) {
            return !row.records.isEmpty() || registered.contains(row.number);
        }))
        return kLookUpFound;
    err << QStringLiteral("この押印ログにない押印番号があります: %1").arg(QDir::toNativeSeparators(logPath))
        << Qt::endl;
    return kLookUpNotFound;
}

} // namespace

int RunLookUp(const QStringList &arguments, const QString &logPath, QTextStream &out, QTextStream &err,
    stamp::Registry *registry)
{
    if (arguments.size() != 1 || arguments[0].trimmed().isEmpty()) {
        err << QStringLiteral("使い方: qvanto lookup 押印番号|ファイル.pdf") << Qt::endl;
        return kLookUpRefused;
    }
    const QString argument = arguments[0];
    return namesAFile(argument) ? lookUpPdf(argument, logPath, out, err, registry)
                                : lookUpNumber(argument, logPath, out, err, registry);
}

int RunLookUpCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const host::AppInfo app = host::AppInfo::forRunningProgram();
    const std::unique_ptr<stamp::Registry> office = registry::OpenRegistry(app);
    return RunLookUp(arguments, stamp::StampLogPath(app), out, err, office.get());
}

} // namespace app
