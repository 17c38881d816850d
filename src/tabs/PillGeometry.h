#pragma once

namespace vesk {

// Every tab pill has this fixed size, in either strip.
inline constexpr double kPillWidth = 140.0;
inline constexpr double kPillHeight = 28.0;

struct PillRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const PillRect&) const = default;
};

// The parts of a pill that take room only while shown.
struct PillParts {
    bool hasIcon = false;
    bool showsSound = false;
};

// Where a pill's parts sit on it: the site icon at the leading edge, the title
// after it (or at the edge without one), then the speaker and the close button
// at the trailing edge. A hidden speaker takes no room.
struct PillFrames {
    PillRect icon;
    PillRect title;
    PillRect sound;
    PillRect close;

    bool operator==(const PillFrames&) const = default;
};

// The frames for a title as tall as `titleHeight`, centred like the rest.
PillFrames pillFrames(PillParts parts, double titleHeight);

} // namespace vesk
