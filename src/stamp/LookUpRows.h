#pragma once

#include "stamp/FindStampRecords.h"

#include <QString>
#include <vector>

namespace stamp {

// A number asked about: one stamped into a document (its page, from 1), or
// one typed (page 0).
struct NumberOnPage {
    int page = 0;
    QString number;
};

// One line of a look-up's answer.
struct LookUpRow {
    int page = 0;
    QString number;
    QString madeAt; // the time the number encodes, or why it is no number
    QStringList records; // its records in the stamp log
    QStringList registered; // its entries in the office registry, as lines
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
