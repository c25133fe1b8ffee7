#pragma once

#include "stamp/FindStampRecords.h"

#include <QString>
#include <utility>
#include <vector>

namespace stamp {

// A number asked about: one stamped into a document (its page, from 1), or
// one typed (page 0).
struct NumberOnPage {
    NumberOnPage(int onPage = 0, QString asked = {}, QString judged = {})
        : page(onPage), number(std::move(asked)), signature(std::move(judged))
    {
    }
    int page;
    QString number;
    QString signature; // what a signature over this stamp was judged, if any
};

// One line of a look-up's answer.
struct LookUpRow {
    int page = 0;
    QString number;
    QString madeAt; // the time the number encodes, or why it is no number
    QStringList records; // its records in the stamp log
    QStringList registered; // its entries in the office registry, as lines
    QString signature; // as asked
};

struct LookUpAnswer {
    std::vector<LookUpRow> rows; // in the order asked
    bool cancelled = false;
    // Whether every number asked about has a record (none asked: no).
    bool allLogged() const;
};

// Each number with what it encodes and its log records, from one pass over
// the log whatever their count.
LookUpAnswer LookUpNumbers(
    const std::vector<NumberOnPage> &numbers, const QString &logPath, const LogReadControl &control = {});

// "2 ページ  <number>  <time>  ログにあり" (no page for a typed number).
QString LookUpRowSummary(const LookUpRow &row);

// The time a number encodes, as the look-up shows it.
QString MadeAtText(const QString &number);

} // namespace stamp
