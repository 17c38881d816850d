#pragma once

#include <string>
#include <string_view>

namespace vesk {

// `text` as HTML text or attribute value: & < > " and ' as character references.
std::string escapeHtml(std::string_view text);

} // namespace vesk
