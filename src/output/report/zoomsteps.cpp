#include "output/report/zoomsteps.h"

#include <algorithm>

int ClampZoom(int percent) {
    return std::clamp(percent, kMinZoom, kMaxZoom);
}

int ZoomOutStep(int percent) {
    return ClampZoom((percent - 1) / 25 * 25);
}

int ZoomInStep(int percent) {
    return ClampZoom((percent / 25 + 1) * 25);
}
