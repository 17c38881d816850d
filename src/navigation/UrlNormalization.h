#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// The address a new tab opens on: the root of the search engine's site.
inline constexpr std::string_view kDefaultHomePage = "https://search.brave.com";

// The search address; the percent-encoded query follows it.
inline constexpr std::string_view kSearchAddressPrefix = "https://search.brave.com/search?q=";

// The search address as a template: the percent-encoded query takes the place of "%s".
inline constexpr std::string_view kDefaultSearchURL = "https://search.brave.com/search?q=%s";

// The search address for typed `terms` under `searchURL`, whose first "%s" the
// percent-encoded terms replace; nothing when the terms are empty or not UTF-8.
std::optional<std::string> searchURLFor(std::string_view terms,
                                        std::string_view searchURL = kDefaultSearchURL);

// Turns typed text into the URL to load: a full address as typed, a host with
// https put in front, or a web search. Takes and gives UTF-8; nothing for
// text that gives no URL.
// Phrases are searched for with `searchURL` (see searchURLFor).
std::optional<std::string> normalizedURLFromInput(std::optional<std::string_view> input,
                                                  std::string_view searchURL = kDefaultSearchURL);

// Whether the scheme of a normalised address was in the text or put there by the rules.
enum class SchemeOrigin { Given, Guessed };

// The address typed text gives, and where its scheme came from.
struct TypedAddress {
    std::string url;
    // Guessed only for a host to which https was put in front; a search address is Given.
    SchemeOrigin scheme = SchemeOrigin::Given;
};

// The same rules as normalizedURLFromInput, also telling whether https was guessed.
std::optional<TypedAddress> typedAddressFromInput(std::optional<std::string_view> input,
                                                  std::string_view searchURL = kDefaultSearchURL);

// Removes white space and line breaks (Unicode Zs, Zl, Zp, tab, U+000A to U+000D, U+0085)
// from both ends of UTF-8 text; inner ones stay. Trimming stops at bytes that are not UTF-8.
std::string_view trimmedWhitespaceAndNewlines(std::string_view text);

// Percent-encodes UTF-8 text for a query component: letters, digits and the marks
// -._~!$&'()*+,;=:@/? stay, every other byte becomes %XX. Nothing when the text is not UTF-8.
std::optional<std::string> percentEncodedForQuery(std::string_view text);

} // namespace vesk
