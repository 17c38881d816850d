#include "navigation/UriReference.h"

#include <gtest/gtest.h>

namespace {
using namespace vesk;

struct Reference {
    const char* name;
    std::string_view text, parts; // parts as `shown` gives them
};

constexpr std::string_view kInvalid = "invalid";

// The parts of `text` joined by "|", an absent part as "∅" (no valid reference holds either).
// Each part must lie inside the text, even an empty one: callers take offsets from them.
std::string shown(std::string_view text) {
    const std::optional<UriReference> r = parseUriReference(text);
    if (!r)
        return std::string(kInvalid);
    std::string out;
    for (const auto& part : {r->scheme, r->userinfo, r->host, r->port,
                             std::optional<std::string_view>(r->path), r->query, r->fragment}) {
        const bool inside = !part || (part->data() >= text.data() &&
                                      part->data() + part->size() <= text.data() + text.size());
        out += (out.empty() ? "" : "|") + std::string(part ? *part : "∅") + (inside ? "" : "!");
    }
    return out;
}

class UriReferenceParts : public ::testing::TestWithParam<Reference> {};

TEST_P(UriReferenceParts, SplitsValidTextIntoViewsAndRejectsTheRest) {
    EXPECT_EQ(shown(GetParam().text), GetParam().parts);
    EXPECT_EQ(isUriReference(GetParam().text), GetParam().parts != kInvalid);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UriReferenceParts,
    ::testing::Values(
        Reference{"Every", "http://u:p@[::1]:8080/a/b?x=1#top", "http|u:p|[::1]|8080|/a/b|x=1|top"},
        Reference{"EmptyButPresent", "http://@:/?#", "http||||/||"},
        Reference{"Empty", "", "∅|∅|∅|∅||∅|∅"},
        Reference{"RootlessPath", "mailto:a@b.c", "mailto|∅|∅|∅|a@b.c|∅|∅"},
        Reference{"IpFutureKeepsBrackets", "x://[v1.a:b]/", "x|∅|[v1.a:b]|∅|/|∅|∅"},
        Reference{"Ipv6SevenAroundGap", "http://[1:2:3::5:6:7:8]",
                  "http|∅|[1:2:3::5:6:7:8]|∅||∅|∅"},
        Reference{"Ipv6EmbeddedIpv4", "http://[::ffff:192.0.2.1]",
                  "http|∅|[::ffff:192.0.2.1]|∅||∅|∅"},
        Reference{"EmptyHostThenPath", "file:///etc//x", "file|∅||∅|/etc//x|∅|∅"},
        Reference{"NetworkPath", "//h/p", "∅|∅|h|∅|/p|∅|∅"},
        Reference{"RelativeWithoutAuthority", "x.y/?u=http://z", "∅|∅|∅|∅|x.y/|u=http://z|∅"},
        Reference{"QueryAndFragmentMarks", "http://h/a?b/c?d#e/f?g:@",
                  "http|∅|h|∅|/a|b/c?d|e/f?g:@"},
        Reference{"FragmentOnly", "#f?", "∅|∅|∅|∅||∅|f?"}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Rejected, UriReferenceParts,
    ::testing::Values(Reference{"Caret", "http://a^b.c", kInvalid},
                      Reference{"Space", "http://a b", kInvalid},
                      Reference{"NonAscii", "http://h/\u00E9", kInvalid},
                      Reference{"NulByte", std::string_view("http://h/\0", 10), kInvalid},
                      Reference{"SecondHash", "http://h/#a#b", kInvalid},
                      Reference{"BadTriplet", "http://h/%zz", kInvalid},
                      Reference{"WordPort", "https://about:blank", kInvalid},
                      Reference{"UnclosedLiteral", "http://[::1", kInvalid},
                      Reference{"Ipv6SevenWithoutGap", "http://[1:2:3:4:5:6:7]", kInvalid},
                      Reference{"Ipv6EightAroundGap", "http://[1:2:3:4::5:6:7:8]", kInvalid},
                      Reference{"Ipv6OctetTooBig", "http://[::1.2.3.256]", kInvalid},
                      Reference{"Ipv6ZoneId", "http://[fe80::1%25eth0]", kInvalid},
                      Reference{"ColonInFirstRelativeSegment", "1a:b", kInvalid}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
