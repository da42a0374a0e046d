// The wizard picture, stretched over the whole control whatever its shape.
#pragma once
#include "CStatic.h"

class CWizardBmp : public CStatic {
public:
    static constexpr UINT kBitmapId = 2131;

    CWizardBmp() = default;
    ~CWizardBmp() override;

    // Loaded at the first paint and kept.
    HBITMAP m_bitmap = nullptr;

protected:
    void OnPaint();

private:
    DECLARE_MESSAGE_MAP()
};
