#pragma once

#include <QString>
#include <vector>

namespace stamp {

// A stamp number found on a page of a document.
struct NumberOnPage {
    int page = 0;
    QString number;
};

// The answer to a look-up of a document: each number found, the time it
// encodes and whether the stamp log holds it.
QString PdfStampsReport(
    const QString &fileName, const std::vector<NumberOnPage> &found, const QString &logPath);

} // namespace stamp
