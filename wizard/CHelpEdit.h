// The help window's text: read-only, and it never shows a caret.
#pragma once
#include "CEdit.h"

class CHelpEdit : public CEdit {
public:
    CHelpEdit() = default;
    ~CHelpEdit() override;

protected:
    LRESULT OnSetFocusMessage(WPARAM w, LPARAM l);
    DECLARE_MESSAGE_MAP()
};
