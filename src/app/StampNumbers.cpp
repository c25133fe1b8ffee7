#include "StampNumbers.h"

#include <QDir>

namespace app {

namespace {
// Asking a whole office may take longer than a stamp may wait.
constexpr int kRegistryLookUpWaitMs = 10 * 1000;
} // namespace

std::vector<stamp::NumberOnPage> NumbersOnStamps(const pdf::PdfDocument &document)
{
    std::vector<stamp::NumberOnPage> numbers;
    for (const pdf::FoundStamp &stamp : document.stamps())
        numbers.push_back({stamp.page, stamp.number});
    return numbers;
}

QString NoStampNumbersMessage(const QString &path)
{
    return QStringLiteral("%1 に押印番号はありません。").arg(QDir::toNativeSeparators(path));
}

std::vector<stamp::RegistryEntry> AskRegistry(
    stamp::Registry *registry, const QStringList &numbers, QTextStream &err)
{
    if (!registry)
        return {};
    QString error;
    std::vector<stamp::RegistryEntry> entries = registry->lookUp(numbers, kRegistryLookUpWaitMs, &error);
    if (!error.isEmpty())
        err << QStringLiteral("登録簿に問い合わせできません: %1").arg(error) << Qt::endl;
    return entries;
}

} // namespace app
