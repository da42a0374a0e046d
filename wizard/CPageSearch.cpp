#include "CPageSearch.h"
#include "CDataExchange.h"
#include "CFileDialog.h"
#include "CFolderBrowser.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "FormatCheck.h"
#include "HostProfile.h"
#include "KestFilenm.h"
#include "KestFolderListFile.h"
#include "ResourceIds.h"
#include "SearchFolders.h"
#include "StdsSearchFinishIds.h"
#include "WizardIds.h"

BEGIN_MESSAGE_MAP(CPageSearch, CPropertyPage)
ON_BN_CLICKED(IDC_SEARCH_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_SEARCH_NEW, OnNew)
ON_BN_CLICKED(IDC_SEARCH_DELETE, OnDelete)
ON_BN_CLICKED(IDC_SEARCH_UP, OnMoveUp)
ON_BN_CLICKED(IDC_SEARCH_DOWN, OnMoveDown)
ON_BN_CLICKED(IDC_SEARCH_LOAD, OnLoadList)
ON_BN_CLICKED(IDC_SEARCH_SAVE, OnSaveList)
ON_NOTIFY(NM_DBLCLK, IDC_SEARCH_TREE, OnTreeDoubleClick)
ON_NOTIFY(TVN_SELCHANGEDW, IDC_SEARCH_TREE, OnTreeSelChanged)
ON_NOTIFY(TVN_BEGINLABELEDITW, IDC_SEARCH_TREE, OnTreeBeginLabelEdit)
ON_NOTIFY(TVN_ENDLABELEDITW, IDC_SEARCH_TREE, OnTreeEndLabelEdit)
ON_MESSAGE(kCheckEditedFolder, OnCheckEditedFolder)
END_MESSAGE_MAP()

namespace {
const int kRootImage = 0;
const int kFolderImage = 1;
}

CPageSearch::CPageSearch(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_SEARCH), m_pWizard(wizard) {}

CPageSearch::~CPageSearch() = default;

void CPageSearch::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_SEARCH_TREE, m_tree);
    DDX_Control(dx, IDC_SEARCH_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_SEARCH_CAPTION, m_caption);
}

BOOL CPageSearch::OnInitDialog()
{
    BuildSearchFolderList();
    CPropertyPage::OnInitDialog();
    if (m_images.Create(20, 16, ILC_MASK | ILC_COLOR32, 2, 8)) {
        m_images.AddIcon(IDI_SEARCH_ROOT);
        m_images.AddIcon(IDI_SEARCH_FOLDER);
        m_tree.SetImageList(m_images, TVSIL_NORMAL);
    }
    InsertRoot();
    HTREEITEM last = nullptr;
    for (const std::wstring& folder : theApp.m_searchFolders)
        last = AddFolder(folder);
    if (last)
        m_tree.EnsureVisible(last);
    m_tree.SelectItem(m_root);
    m_current = m_root;

    // A press on Browse or Delete ends a label edit before their click arrives:
    // the buttons say so first, so that the edit's end leaves the item to them.
    for (int id : {IDC_SEARCH_BROWSE, IDC_SEARCH_DELETE})
        ::SetWindowSubclass(GetDlgItem(id), &CPageSearch::ButtonProc, static_cast<UINT_PTR>(id),
                            reinterpret_cast<DWORD_PTR>(this));
    UpdateButtons();
    m_caption.SetBold(true);
    return TRUE;
}

LRESULT CALLBACK CPageSearch::ButtonProc(HWND button, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self)
{
    auto* page = reinterpret_cast<CPageSearch*>(self);
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        page->m_browseClicked = id == IDC_SEARCH_BROWSE;
        page->m_deleteClicked = id == IDC_SEARCH_DELETE;
    } else if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(button, &CPageSearch::ButtonProc, id);
    }
    return ::DefSubclassProc(button, msg, w, l);
}

void CPageSearch::InsertRoot()
{
    CString text;
    text.LoadString(IDS_SEARCH_ROOT);
    m_root = m_tree.InsertItem(text, kRootImage, kRootImage);
    m_current = m_root;
}

HTREEITEM CPageSearch::AddFolder(const std::wstring& text)
{
    return m_tree.InsertItem(text.c_str(), kFolderImage, kFolderImage, m_root, TVI_LAST);
}

std::vector<std::wstring> CPageSearch::Folders() const
{
    std::vector<std::wstring> folders;
    for (HTREEITEM item = m_tree.GetChildItem(m_root); item; item = m_tree.GetNextSiblingItem(item))
        folders.push_back(m_tree.GetItemText(item).Str());
    return folders;
}

bool CPageSearch::IsFolderItem(HTREEITEM item) const
{
    for (HTREEITEM child = m_tree.GetChildItem(m_root); child; child = m_tree.GetNextSiblingItem(child))
        if (child == item)
            return true;
    return false;
}

BOOL CPageSearch::OnSetActive()
{
    m_pWizard->RequestButtons(PSWIZB_BACK | PSWIZB_NEXT);
    AddDrawingFolders();
    return CPropertyPage::OnSetActive();
}

void CPageSearch::AddDrawingFolders()
{
    HTREEITEM last = nullptr;
    for (const std::wstring& folder : SearchFolders::DrawingFoldersToAdd(theApp.m_drawings, Folders()))
        last = AddFolder(folder);
    if (last)
        m_tree.EnsureVisible(last);
    UpdateButtons();
}

BOOL CPageSearch::OnKillActive()
{
    if (!FlushEditCheck())
        return FALSE;
    if (m_editing) {
        if (m_tree.GetEditControl()) {
            // Ends the edit (and checks the folder); the next Back or Next leaves.
            SendKeyToEdit(VK_RETURN);
            return FALSE;
        }
        m_editing = false;   // no edit is open any more: nothing to wait for
    }
    theApp.m_searchFolders = Folders();
    return CPropertyPage::OnKillActive();
}

void CPageSearch::OnCancel()
{
    if (m_editing && m_tree.GetEditControl()) {
        SendKeyToEdit(VK_ESCAPE);
        return;
    }
    CPropertyPage::OnCancel();
}

void CPageSearch::SendKeyToEdit(WPARAM key)
{
    if (HWND edit = m_tree.GetEditControl())
        ::SendMessageW(edit, WM_KEYDOWN, key, 1);
}

void CPageSearch::UpdateButtons()
{
    HTREEITEM selected = m_tree.GetSelectedItem();
    bool folder = selected && selected != m_root;
    ::EnableWindow(GetDlgItem(IDC_SEARCH_DELETE), folder);
    ::EnableWindow(GetDlgItem(IDC_SEARCH_UP), folder && !m_editing && m_tree.GetPrevSiblingItem(selected));
    ::EnableWindow(GetDlgItem(IDC_SEARCH_DOWN), folder && !m_editing && m_tree.GetNextSiblingItem(selected));
}

void CPageSearch::OnTreeSelChanged(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTREEVIEWW*>(header);
    if (info->itemNew.hItem)
        m_current = info->itemNew.hItem;
    m_editing = false;
    UpdateButtons();
    *result = 0;
}

void CPageSearch::OnTreeBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
    // The root names the list, not a folder.
    if (info->item.hItem == m_root) {
        *result = TRUE;
        return;
    }
    m_editing = true;
    m_browseClicked = m_deleteClicked = false;
    UpdateButtons();
    *result = FALSE;
}

void CPageSearch::OnTreeEndLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
    // The tree never takes the label itself: the check below sets it.
    *result = FALSE;
    if (m_browseClicked || m_deleteClicked) {
        // Browse or Delete follows and treats this item as the one being edited.
        m_browseClicked = m_deleteClicked = false;
        return;
    }
    m_editing = false;
    m_edited = info->item.hItem;
    m_editCancelled = info->item.pszText == nullptr;
    m_typed.clear();
    // The control's own text: the notification's copy may be cut short.
    if (HWND edit = m_tree.GetEditControl()) {
        int length = ::GetWindowTextLengthW(edit);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int n = ::GetWindowTextW(edit, &text[0], length + 1);
        m_typed.assign(text.c_str(), n > 0 ? static_cast<size_t>(n) : 0);
    } else if (info->item.pszText) {
        m_typed = info->item.pszText;
    }
    PostMessage(kCheckEditedFolder);
    UpdateButtons();
}

int CPageSearch::Ask(UINT formatId, const std::wstring& path, UINT type)
{
    CString format, text, caption;
    format.LoadString(formatId);
    caption.LoadString(IDS_CAPTION);
    if (FormatTakes(format.Str(), "s"))
        text.Format(format, path.c_str());
    else
        text = format + L"\n\n" + path.c_str();
    return MessageBox(text, caption, type);
}

bool CPageSearch::FlushEditCheck()
{
    if (!m_edited)
        return true;
    OnCheckEditedFolder(0, 0);
    return !m_editing;
}

LRESULT CPageSearch::OnCheckEditedFolder(WPARAM, LPARAM)
{
    HTREEITEM item = m_edited;
    m_edited = nullptr;
    if (!item || !IsFolderItem(item))
        return 0;
    std::wstring typed = m_editCancelled ? m_tree.GetItemText(item).Str() : m_typed;
    if (typed.empty()) {
        // A new folder left empty goes away again.
        HTREEITEM previous = m_tree.GetPrevSiblingItem(item);
        m_tree.DeleteItem(item);
        m_tree.SelectItem(previous ? previous : m_root);
        m_current = m_tree.GetSelectedItem();
        UpdateButtons();
        return 0;
    }
    if (m_editCancelled)
        return 0;

    KestFilenm name(typed, false);
    std::vector<std::wstring> others;
    for (HTREEITEM child = m_tree.GetChildItem(m_root); child; child = m_tree.GetNextSiblingItem(child))
        if (child != item)
            others.push_back(m_tree.GetItemText(child).Str());
    DWORD attributes = ::GetFileAttributesW(name.m_path.c_str());
    int answer = IDYES;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        answer = Ask(IDS_FOLDER_MISSING, name.m_path, MB_YESNO | MB_ICONQUESTION);
    else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        answer = Ask(IDS_FOLDER_IS_FILE, name.m_path, MB_YESNO | MB_ICONQUESTION);
    else if (SearchFolders::IsListed(typed, others))
        answer = Ask(IDS_FOLDER_LISTED, name.m_path, MB_YESNO | MB_ICONQUESTION);

    if (!IsFolderItem(item))
        return 0;
    if (answer == IDYES) {
        // Kept as typed: the user may mean a relative or a differently written path.
        m_tree.SetItemText(item, typed.c_str());
        m_tree.SelectItem(item);
    } else {
        StartEditing(item, typed);
    }
    UpdateButtons();
    return 0;
}

void CPageSearch::StartEditing(HTREEITEM item, const std::wstring& text)
{
    m_tree.SetFocus();
    m_tree.SelectItem(item);
    HWND edit = m_tree.EditLabel(item);
    if (!edit)
        return;
    ::SetWindowTextW(edit, text.c_str());
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void CPageSearch::OnNew()
{
    m_tree.SetFocus();
    if (!FlushEditCheck())
        return;
    if (m_current && m_current != TVI_ROOT && m_tree.GetItemText(m_current).IsEmpty())
        return;
    HTREEITEM item = AddFolder(L"");
    m_current = item;
    m_tree.EnsureVisible(item);
    m_tree.SelectItem(item);
    m_tree.EditLabel(item);
}

void CPageSearch::OnTreeDoubleClick(NMHDR*, LRESULT* result)
{
    OnBrowse();
    *result = 0;
}

void CPageSearch::OnBrowse()
{
    HTREEITEM target = m_current;
    if (!target || target == TVI_ROOT || target == m_root) {
        HTREEITEM first = m_tree.GetChildItem(m_root);
        if (first && m_tree.SelectItem(first))
            target = first;
    }
    bool interrupted = m_editing;
    m_tree.SetFocus();
    CFolderBrowser browser(nullptr);
    INT_PTR result = browser.DoModal();
    bool folder = target && target != TVI_ROOT && target != m_root && IsFolderItem(target);
    if (result == IDOK) {
        std::wstring chosen = browser.GetPathName().Str();
        if (folder) {
            m_tree.SetItemText(target, chosen.c_str());
        } else {
            // No folder yet to put it in: the chosen one becomes the first.
            HTREEITEM item = AddFolder(chosen);
            m_tree.EnsureVisible(item);
            m_tree.SelectItem(item);
        }
    } else if (interrupted && folder && m_tree.GetItemText(target).IsEmpty()) {
        // A new folder whose typing the click interrupted; a folder with a name stays.
        m_tree.DeleteItem(target);
        m_current = m_tree.GetSelectedItem();
    }
    m_editing = false;
    UpdateButtons();
}

void CPageSearch::OnDelete()
{
    m_tree.SetFocus();
    if (!FlushEditCheck())
        return;
    HTREEITEM selected = m_tree.GetSelectedItem();
    if (selected && selected != m_root) {
        m_tree.DeleteItem(selected);
        m_current = m_tree.GetSelectedItem();
    }
    m_editing = false;
    UpdateButtons();
}

void CPageSearch::OnMoveUp() { Move(true); }

void CPageSearch::OnMoveDown() { Move(false); }

void CPageSearch::Move(bool up)
{
    m_tree.SetFocus();
    if (!FlushEditCheck())
        return;
    HTREEITEM item = m_tree.GetSelectedItem();
    if (!item || item == m_root)
        return;
    HTREEITEM after;
    if (up) {
        HTREEITEM previous = m_tree.GetPrevSiblingItem(item);
        if (!previous)
            return;
        HTREEITEM beforePrevious = m_tree.GetPrevSiblingItem(previous);
        after = beforePrevious ? beforePrevious : TVI_FIRST;
    } else {
        after = m_tree.GetNextSiblingItem(item);
        if (!after)
            return;
    }
    CString text = m_tree.GetItemText(item);
    int image = kFolderImage, selectedImage = kFolderImage;
    m_tree.GetItemImage(item, image, selectedImage);
    DWORD_PTR data = m_tree.GetItemData(item);
    HTREEITEM parent = m_tree.GetParentItem(item);
    m_tree.DeleteItem(item);
    HTREEITEM copy = m_tree.InsertItem(text, image, selectedImage, parent, after);
    m_tree.SetItemData(copy, data);
    m_tree.SelectItem(copy);
    m_current = copy;
    m_editing = false;
    UpdateButtons();
}

void CPageSearch::OnLoadList()
{
    if (!FlushEditCheck())
        return;
    CString filter, title;
    filter.LoadString(IDS_FOLDER_LIST_FILTER);
    title.LoadString(IDS_FOLDER_LIST_LOAD);
    CFileDialog dialog(true, L"pth", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter, this);
    dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK)
        return;
    std::wstring path = dialog.GetPathName().Str();
    KestFolderListFile file(path);
    std::vector<std::wstring> folders;
    bool read = file.Open(false) && file.ReadFolders(folders);
    file.Close();
    if (!read) {
        Ask(IDS_FOLDER_LIST_UNREADABLE, path, MB_OK | MB_ICONERROR);
        return;
    }
    m_tree.DeleteAllItems();
    InsertRoot();
    for (const std::wstring& folder : folders)
        m_tree.EnsureVisible(AddFolder(folder));
    m_tree.SelectItem(m_root);
    m_current = m_root;
    m_editing = false;
    UpdateButtons();
}

void CPageSearch::OnSaveList()
{
    if (!FlushEditCheck())
        return;
    CString filter, title;
    filter.LoadString(IDS_FOLDER_LIST_FILTER);
    title.LoadString(IDS_FOLDER_LIST_SAVE);
    CFileDialog dialog(false, L"pth", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, filter, this);
    dialog.m_ofn.lpstrTitle = title;
    if (dialog.DoModal() != IDOK)
        return;
    std::wstring path = dialog.GetPathName().Str();
    KestFolderListFile file(path);
    if (!file.Open(true)) {
        Ask(IDS_FOLDER_LIST_UNWRITABLE, path, MB_OK | MB_ICONERROR);
        return;
    }
    file.WriteFolders(Folders());
    file.Close();
}
