#include "app/AppDelegate.h"

#include <algorithm>

#include "platform/WebView.h"

namespace vesk {

namespace {

// The engine keeps the zoom level exactly as set, with no limit of its own,
// so these steps are the whole rule.
constexpr double kZoomStep = 0.1;
constexpr double kZoomFloor = 0.2;

} // namespace

void AppDelegate::goBack() {
    if (Tab* tab = currentTab(); tab && tab->web->canGoBack())
        tab->web->goBack();
}

void AppDelegate::goForward() {
    if (Tab* tab = currentTab(); tab && tab->web->canGoForward())
        tab->web->goForward();
}

void AppDelegate::refreshPage() {
    if (Tab* tab = currentTab(); tab && tab->web->url())
        tab->web->reload();
}

void AppDelegate::zoomIn() {
    if (Tab* tab = currentTab())
        tab->web->setMagnification(tab->web->magnification() + kZoomStep);
}

void AppDelegate::zoomOut() {
    if (Tab* tab = currentTab())
        tab->web->setMagnification(std::max(tab->web->magnification() - kZoomStep, kZoomFloor));
}

} // namespace vesk
