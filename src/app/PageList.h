#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace app {

// The pages a stamp goes on, as a user writes them: "all", "last", or page
// numbers and ranges separated by commas ("1,3-5"), which may be mixed
// ("1,last"). What the pages are depends on the document's page count.
class PageList {
public:
    // Nothing when the text is not such a list (an empty entry, a range
    // that runs backwards, a number past kMostPages, anything else).
    static std::optional<PageList> parse(const QString &text);
    // One page, as --page gives it; any number, checked against the
    // document later.
    static PageList single(int page);

    // The listed pages in ascending order, each once. Of pages the
    // document lacks only the first listed stays in, last, for the
    // placement check to refuse by name.
    std::vector<int> pages(int pageCount) const;

    // Larger page numbers are no page of a real document.
    static constexpr int kMostPages = 1000000;

private:
    struct Range {
        int first;
        int last;
    };
    // Stands for the document's last page.
    static constexpr int kLast = -1;
    std::vector<Range> m_ranges;
};

} // namespace app
