#include "StampNumbers.h"

#include "SignatureVerdict.h"

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

namespace {
// The few words first, the whole verdict on the lines after.
QString judged(const SignatureVerdict &verdict)
{
    return verdict.brief() + u'\n' + verdict.lines();
}
} // namespace

std::vector<stamp::NumberOnPage> NumbersWithSignatures(const pdf::PdfDocument &document)
{
    std::vector<stamp::NumberOnPage> numbers = NumbersOnStamps(document);
    QString error;
    const std::vector<pdf::FoundSignature> signatures = document.signatures(&error);
    sign::SignModule *module = signatures.empty() ? nullptr : sign::LoadSignModule(&error);
    for (const pdf::FoundSignature &found : signatures)
        for (stamp::NumberOnPage &number : numbers)
            if (found.number == number.number && found.page == number.page)
                number.signature = module ? judged(JudgeSignature(found, *module, {}))
                                          : QStringLiteral("確かめられません (%1)").arg(error);
    if (signatures.empty() && !error.isEmpty())
        for (stamp::NumberOnPage &number : numbers)
            number.signature = QStringLiteral("署名を読めません (%1)").arg(error);
    return numbers;
}

QString NoStampNumbersMessage(const QString &path)
{
    return QStringLiteral("%1 に押印番号はありません。").arg(QDir::toNativeSeparators(path));
}

std::vector<stamp::RegistryEntry> AskRegistry(
    stamp::Registry *registry, const QStringList &numbers, QString *error)
{
    if (!registry)
        return {};
    QString why;
    std::vector<stamp::RegistryEntry> entries = registry->lookUp(numbers, kRegistryLookUpWaitMs, &why);
    if (!why.isEmpty())
        *error = QStringLiteral("登録簿に問い合わせできません: %1").arg(why);
    return entries;
}

} // namespace app
