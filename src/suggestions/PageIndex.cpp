#include "suggestions/PageIndex.h"

#include <algorithm>

namespace vesk {

std::vector<long long> PageIndex::search(const std::vector<std::string>& words,
                                         std::size_t limit) const {
    std::vector<long long> found;
    for (const VisitDatabase::MatchRow& row : rows_) {
        if (found.size() >= limit)
            break;
        if (std::ranges::all_of(words, [&row](const std::string& word) {
                return row.text.find(word) != std::string::npos;
            }))
            found.push_back(row.id);
    }
    return found;
}

} // namespace vesk
