#include "PageList.h"

#include <QStringList>

#include <algorithm>

namespace app {

namespace {

constexpr int kNoPage = 0;

// A page number from 1 to the largest, "last" as `last`; kNoPage when the
// text is neither.
int pageNumber(const QString &text, int last)
{
    if (text == QStringLiteral("last"))
        return last;
    // Digits only: no signs, spaces or "1e3".
    if (text.isEmpty() || text.size() > 7
        || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return kNoPage;
    const int page = text.toInt();
    return page >= 1 && page <= PageList::kMostPages ? page : kNoPage;
}

} // namespace

std::optional<PageList> PageList::parse(const QString &text)
{
    PageList list;
    for (const QString &entry : text.trimmed().split(u',')) {
        const QString item = entry.trimmed();
        if (item == QStringLiteral("all")) {
            list.m_ranges.push_back({1, kLast});
            continue;
        }
        const QStringList ends = item.split(u'-');
        if (ends.size() > 2)
            return std::nullopt;
        const int first = pageNumber(ends.front(), kLast);
        const int last = pageNumber(ends.back(), kLast);
        // "last" stands for any number, so "last-3" is refused outright.
        if (first == kNoPage || last == kNoPage || (ends.size() == 2 && first == kLast)
            || (last != kLast && first > last))
            return std::nullopt;
        list.m_ranges.push_back({first, last});
    }
    return list;
}

PageList PageList::single(int page)
{
    PageList list;
    list.m_ranges.push_back({page, page});
    return list;
}

std::vector<int> PageList::pages(int pageCount) const
{
    // Marks, not a list of every entry: "all,all,…" must not grow with
    // the document times the entries.
    std::vector<bool> listed(size_t(std::max(pageCount, 0)) + 1, false);
    std::optional<int> missing;
    for (const Range &range : m_ranges) {
        const int first = range.first == kLast ? pageCount : range.first;
        const int last = range.last == kLast ? pageCount : range.last;
        if (!missing && first < 1)
            missing = first;
        else if (!missing && last > pageCount)
            missing = std::max(first, pageCount + 1);
        for (int page = std::max(first, 1); page <= std::min(last, pageCount); ++page)
            listed[size_t(page)] = true;
    }
    std::vector<int> result;
    for (int page = 1; page <= pageCount; ++page)
        if (listed[size_t(page)])
            result.push_back(page);
    if (missing)
        result.push_back(*missing);
    return result;
}

} // namespace app
