// Caption of a wizard page or of a progress step: the control's own text,
// drawn in a bold or a plain variant of the control's font.
#pragma once
#include "CStatic.h"

class CBoldTxt : public CStatic {
public:
    CBoldTxt() = default;

    // Repaints the caption only when the weight really changes.
    void SetBold(bool bold);
    bool IsBold() const { return m_bold; }

protected:
    void OnPaint();

private:
    bool m_bold = false;
    DECLARE_MESSAGE_MAP()
};
