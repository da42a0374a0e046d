#include "PreviewLayout.h"

namespace PreviewLayout {
PreviewRect Fit(int left, int top, int right, int bottom, int sourceWidth, int sourceHeight)
{
    PreviewRect r;
    const int boxLeft = left + kMargin, boxTop = top + kMargin;
    const int boxWidth = (right - kMargin) - boxLeft, boxHeight = (bottom - kMargin) - boxTop;
    if (boxWidth <= 0 || boxHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return r;
    const float sx = static_cast<float>(boxWidth) / static_cast<float>(sourceWidth);
    const float sy = static_cast<float>(boxHeight) / static_cast<float>(sourceHeight);
    const float scale = sx < sy ? sx : sy;
    r.width = static_cast<int>(scale * static_cast<float>(sourceWidth));
    r.height = static_cast<int>(scale * static_cast<float>(sourceHeight));
    r.left = boxLeft + (boxWidth - r.width) / 2;
    r.top = boxTop + (boxHeight - r.height) / 2;
    return r;
}
}
