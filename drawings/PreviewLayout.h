// Where a thumbnail goes in the preview control: scaled to fit, enlarged or reduced, and centred.
#pragma once
#include <cstdint>

struct PreviewRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

namespace PreviewLayout {
// Margin between the control's edge and the picture, in pixels.
constexpr int kMargin = 4;
// The drawn rectangle for a source of sourceWidth x sourceHeight pixels in the client rectangle
// (left, top, right, bottom). Empty when either is empty.
PreviewRect Fit(int left, int top, int right, int bottom, int sourceWidth, int sourceHeight);
}
