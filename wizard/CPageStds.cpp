#include "CPageStds.h"
#include "CDataExchange.h"
#include "CKestNoluApp.h"
#include "CNOLUWizard.h"
#include "HostKeys.h"
#include "KestRegKey.h"
#include "StdsSearchFinishIds.h"
#include "WizardIds.h"

const UINT CPageStds::kNameIds[kStandardCount] = {IDS_STD_0, IDS_STD_1, IDS_STD_2, IDS_STD_3,
                                                   IDS_STD_4, IDS_STD_5, IDS_STD_6, IDS_STD_7};

BEGIN_MESSAGE_MAP(CPageStds, CPropertyPage)
END_MESSAGE_MAP()

CPageStds::CPageStds(CNOLUWizard* wizard) : CPropertyPage(IDD_PAGE_STDS), m_pWizard(wizard) {}

CPageStds::~CPageStds() = default;

BOOL CPageStds::OnInitDialog()
{
    m_preselected = theApp.m_SymbolStd;
    m_balloons = (theApp.m_QuenbarFlags & 0x1) ? 1 : 0;
    m_symbols = (theApp.m_QuenbarFlags & 0x2) ? 1 : 0;
    CPropertyPage::OnInitDialog();
    m_caption.SetBold(true);

    if (m_images.Create(IDB_STANDARDS, 24, 1, RGB(255, 255, 255)))
        m_tree.SetImageList(m_images, TVSIL_NORMAL);
    for (int index = 0; index < kStandardCount; ++index) {
        CString name;
        name.LoadString(kNameIds[index]);
        HTREEITEM item = m_tree.InsertItem(name, 0, 1);
        m_tree.SetItemData(item, static_cast<DWORD_PTR>(index));
        if (index == m_preselected)
            m_tree.SelectItem(item);
    }

    if (theApp.m_Operation == 2) {
        for (int id : {IDC_STDS_BALLOONS, IDC_STDS_SYMBOLS, IDC_STDS_UPDATE_GROUP})
            ::EnableWindow(GetDlgItem(id), FALSE);
    }
    return TRUE;
}

void CPageStds::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_STDS_PICTURE, m_picture);
    DDX_Control(dx, IDC_STDS_TRANSP, m_bitmap);
    DDX_Control(dx, IDC_STDS_CAPTION, m_caption);
    DDX_Control(dx, IDC_STDS_TREE, m_tree);
    DDX_Check(dx, IDC_STDS_BALLOONS, m_balloons);
    DDX_Check(dx, IDC_STDS_SYMBOLS, m_symbols);
    if (!dx->m_bSaveAndValidate)
        return;

    HTREEITEM selected = m_tree.GetSelectedItem();
    DWORD_PTR data = selected ? m_tree.GetItemData(selected) : 0;
    int index = data < static_cast<DWORD_PTR>(kStandardCount) ? static_cast<int>(data) : 0;
    theApp.m_SymbolStd = SymbolStdOf(index);

    // The host's parts list migration takes this as the standard last used.
    CString name;
    name.LoadString(kNameIds[index]);
    KestRegKey key(GetProductKeyPath() + L"\\BOM Migration", HKEY_CURRENT_USER);
    key.WriteString(L"Last Recently Used Standard", name);
    key.WriteString(L"Original name", name);

    theApp.m_QuenbarFlags = (m_balloons == BST_CHECKED ? 0x1 : 0) | (m_symbols == BST_CHECKED ? 0x2 : 0);
}
