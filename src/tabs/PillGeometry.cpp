#include "tabs/PillGeometry.h"

namespace vesk {

namespace {

constexpr double kTitleLeading = 8.0;
constexpr double kTitleToSound = 4.0;
constexpr double kCloseSize = 14.0;
constexpr double kCloseTrailing = 6.0;
constexpr double kSoundWidth = 16.0;
constexpr double kIconSize = 16.0;
constexpr double kIconToTitle = 6.0;

double centredY(double height) {
    return (kPillHeight - height) / 2;
}

} // namespace

PillFrames pillFrames(PillParts parts, double titleHeight) {
    PillFrames frames;
    const double closeX = kPillWidth - kCloseTrailing - kCloseSize;
    frames.close = {closeX, centredY(kCloseSize), kCloseSize, kCloseSize};
    const double soundWidth = parts.showsSound ? kSoundWidth : 0.0;
    frames.sound = {closeX - soundWidth, centredY(kCloseSize), soundWidth, kCloseSize};
    frames.icon = {kTitleLeading, centredY(kIconSize), parts.hasIcon ? kIconSize : 0.0,
                   parts.hasIcon ? kIconSize : 0.0};
    const double titleX = parts.hasIcon ? frames.icon.x + kIconSize + kIconToTitle : kTitleLeading;
    const double titleEnd = frames.sound.x - kTitleToSound;
    frames.title = {titleX, centredY(titleHeight), titleEnd > titleX ? titleEnd - titleX : 0.0,
                    titleHeight};
    return frames;
}

} // namespace vesk
