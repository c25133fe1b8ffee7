#pragma once

#include "pdf/PdfModule.h"
#include "stamp/LookUpRows.h"
#include "stamp/Registry.h"

#include <QStringList>
#include <QTextStream>

#include <vector>

namespace app {

// The numbers of a PDF's stamps, each with its page, in the document's
// order.
std::vector<stamp::NumberOnPage> NumbersOnStamps(const pdf::PdfDocument &document);

// What the look-ups say of a PDF that carries no number.
QString NoStampNumbersMessage(const QString &path);

// The office registry's entries for `numbers`; when it cannot answer, the
// reason goes to `err` and what it did answer is returned. No registry, no
// entries.
std::vector<stamp::RegistryEntry> AskRegistry(
    stamp::Registry *registry, const QStringList &numbers, QTextStream &err);

} // namespace app
