#pragma once

// The preview's zoom in whole percent, from 10 to 200.
inline constexpr int kMinZoom = 10;
inline constexpr int kMaxZoom = 200;

// A zoom within the bounds.
int ClampZoom(int percent);
// The largest multiple of 25 below the zoom (at least 10).
int ZoomOutStep(int percent);
// The next multiple of 25 above the zoom (at most 200).
int ZoomInStep(int percent);
