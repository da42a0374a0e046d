#include "CFileDialog.h"
#include "Afx.h"

CFileDialog::CFileDialog(bool openFileDialog, const wchar_t* defExt, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent)
    : CDialog(0, parent), m_openFileDialog(openFileDialog)
{
    m_ofn = {};
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    if (fileName)
        lstrcpynW(m_szFileName, fileName, MAX_PATH);
    if (defExt) {
        m_defExt = defExt;
        m_ofn.lpstrDefExt = m_defExt.c_str();
    }
    if (filter && *filter) {
        m_filter = filter;
        for (wchar_t& c : m_filter)
            if (c == L'|')
                c = L'\0';
        // Two NULs end the list even when the text lacks the closing "||".
        m_filter.append(2, L'\0');
        m_ofn.lpstrFilter = m_filter.c_str();
    }
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND window, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEW*>(l);
        auto* self = reinterpret_cast<CFileDialog*>(ofn->lCustData);
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = window;
        return static_cast<UINT_PTR>(AfxCallGuarded([&] { return static_cast<LRESULT>(self->OnInitDialog()); }, TRUE));
    }
    auto* self = reinterpret_cast<CFileDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (!self)
        return 0;
    LRESULT result = 0;
    bool handled = AfxCallGuarded([&] { return static_cast<LRESULT>(self->Dispatch(msg, w, l, &result)); }) != 0;
    if (msg == WM_NCDESTROY)
        self->m_hWnd = nullptr;
    return handled ? 1 : 0;
}

INT_PTR CFileDialog::DoModal()
{
    AfxInitCommonControls();
    if (!(m_ofn.Flags & OFN_EXPLORER)) {
        m_ofn.Flags |= OFN_ENABLEHOOK;
        m_ofn.lpfnHook = &CFileDialog::HookProc;
        m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    }
    if ((m_ofn.Flags & OFN_ENABLETEMPLATE) && !m_ofn.hInstance)
        m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.hwndOwner = m_parent ? m_parent->m_hWnd : ::GetActiveWindow();
    BOOL ok = m_openFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    m_hWnd = nullptr;
    return ok ? IDOK : IDCANCEL;
}

const wchar_t* CFileDialog::GetStartPosition() const
{
    return m_ofn.lpstrFile && m_ofn.lpstrFile[0] ? m_ofn.lpstrFile : nullptr;
}

CString CFileDialog::GetNextPathName(const wchar_t*& position) const
{
    // Explorer style: one full path, or the folder followed by each name, every string NUL-ended and a
    // second NUL after the last. Nothing past nMaxFile is read, whatever the buffer holds.
    const wchar_t* buffer = m_ofn.lpstrFile;
    if (!position || !buffer)
        return CString();
    const wchar_t* end = buffer + m_ofn.nMaxFile;
    auto stringEnd = [end](const wchar_t* p) {
        while (p < end && *p)
            ++p;
        return p;
    };
    const wchar_t* folderEnd = stringEnd(buffer);
    if (folderEnd + 1 >= end || folderEnd[1] == L'\0') {
        position = nullptr;
        return CString(buffer, static_cast<int>(folderEnd - buffer));
    }
    if (position == buffer)
        position = folderEnd + 1;
    const wchar_t* nameEnd = stringEnd(position);
    std::wstring path(buffer, folderEnd);
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    path.append(position, nameEnd);
    position = nameEnd + 1 < end && nameEnd[1] ? nameEnd + 1 : nullptr;
    return CString(path);
}
