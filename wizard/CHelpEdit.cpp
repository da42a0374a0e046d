#include "CHelpEdit.h"

BEGIN_MESSAGE_MAP(CHelpEdit, CEdit)
ON_MESSAGE(WM_SETFOCUS, OnSetFocusMessage)
END_MESSAGE_MAP()

CHelpEdit::~CHelpEdit() = default;

// Handled by doing nothing: the edit control's own handling would show the caret.
LRESULT CHelpEdit::OnSetFocusMessage(WPARAM, LPARAM) { return 0; }
