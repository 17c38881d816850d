#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "store/VisitDatabase.h"

namespace vesk {

// The long-term history's match texts in memory, highest frecency first, so that a
// keystroke's search reads memory instead of every row of the database.
class PageIndex {
public:
    PageIndex() = default;
    explicit PageIndex(std::vector<VisitDatabase::MatchRow> rows) : rows_(std::move(rows)) {}

    // The numbers of the first `limit` pages, in frecency order, whose match text holds
    // every one of `words` (as searchWords gives them).
    std::vector<long long> search(const std::vector<std::string>& words, std::size_t limit) const;

    std::size_t size() const { return rows_.size(); }

private:
    std::vector<VisitDatabase::MatchRow> rows_;
};

} // namespace vesk
