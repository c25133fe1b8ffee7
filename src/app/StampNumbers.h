#pragma once

#include "pdf/PdfModule.h"
#include "stamp/LookUpRows.h"
#include "stamp/Registry.h"

#include <QStringList>

#include <vector>

namespace app {

// The numbers of a PDF's stamps, each with its page, in the document's
// order.
std::vector<stamp::NumberOnPage> NumbersOnStamps(const pdf::PdfDocument &document);

// The same, each with what its signature was judged when a signature lies
// over it (trusted: the system's certificates): a few words on the first
// line, the whole verdict on the lines after. A signature that cannot be
// read or judged says so in place of a verdict.
std::vector<stamp::NumberOnPage> NumbersWithSignatures(const pdf::PdfDocument &document);

// What the look-ups say of a PDF that carries no number.
QString NoStampNumbersMessage(const QString &path);

// The office registry's entries for `numbers`; when it cannot answer, the
// reason in *error (as told to the user) and what it did answer are
// returned. No registry, no entries.
std::vector<stamp::RegistryEntry> AskRegistry(
    stamp::Registry *registry, const QStringList &numbers, QString *error);

} // namespace app
