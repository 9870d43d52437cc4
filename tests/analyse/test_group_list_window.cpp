// The radius and plane lists inside the analysis window: what a host reads
// of their list controls and dialogs, and the analysis window's layer fields
// that the radius list's menu and layer command write.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "fake_host.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "platform/windows_ui.h"
#include "sdk/kvValueSets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A face that is also a CAD entity: it records the layers it is put on.
class LayeredFace : public kvIUnknownImp, public kvIGeSurface, public kvICadEntity {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIGeSurface, kvICadEntity>(this, name);
    }
    int beginEdit() override { return 0; }
    int setLayer(const wchar_t* layer) override
    {
        layers.push_back(layer ? layer : L"(null)");
        return 0;
    }
    int endEdit() override { return 0; }
    std::vector<std::wstring> layers;
};

struct GroupListWindow : fake::WindowFixture {
    kvIfImp<LayeredFace>* face = nullptr;

    void SetUp() override
    {
        WindowFixture::SetUp();
        face = new kvIfImp<LayeredFace>();
        face->_addRef();
        open();
    }
    void TearDown() override
    {
        WindowFixture::TearDown();
        face->_relRef();
    }
    kvIUnknownPtr faceRef() { return kvIUnknownPtr(static_cast<kvIGeSurface*>(face)); }
    // The list of mode 3 or 4, its mode chosen.
    kvCMultiSelListDialog* listOfMode(int mode)
    {
        const HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
        EXPECT_TRUE(kvplat::selectComboItem(combo, mode - 1));
        auto* panel = dynamic_cast<kvCMultiFaceSelDialog*>(dlg->panelForMode(mode));
        return panel ? panel->currentList() : nullptr;
    }
    // The radius list with two groups (radius 3 and 5) of the one face.
    kvCMultiSelRadiusDialog* radiusListWithRows()
    {
        auto* list = dynamic_cast<kvCMultiSelRadiusDialog*>(listOfMode(3));
        if (!list)
            return nullptr;
        for (double radius : {3.0, 5.0}) {
            kvIArcUnknown& r = list->faceRecords()[list->faceRecords().size()];
            r.face = faceRef();
            r.radius = radius;
        }
        list->evaluate();
        return list;
    }
    kvCMultiSelPlanDialog* planeListWithRows()
    {
        auto* list = dynamic_cast<kvCMultiSelPlanDialog*>(listOfMode(4));
        if (!list)
            return nullptr;
        for (const kvCGeVector& normal : {kvCGeVector(0, 0, 1), kvCGeVector(1, 0, 0)}) {
            kvIPlanUnknown& p = list->faceRecords()[list->faceRecords().size()];
            p.face = faceRef();
            p.normal = normal;
        }
        list->evaluate();
        return list;
    }
    // The list's context menu opened and closed without a choice.
    void openMenu(kvCMultiSelListDialog* list)
    {
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = list->listCtrl().GetSafeHwnd();
        click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(click.hdr.hwndFrom));
        click.hdr.code = NM_RCLICK;
        click.iItem = -1;
        ::SendMessageW(list->GetSafeHwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }
};

// Each list's rows take their height from an empty small image list of the
// list's own, and every row names image 1 of it.
TEST_F(GroupListWindow, EachListHasAnEmptySmallImageListAndItsRowsImageOne)
{
    kvCMultiSelListDialog* lists[] = {radiusListWithRows(), planeListWithRows()};
    for (kvCMultiSelListDialog* list : lists) {
        ASSERT_NE(list, nullptr);
        CListCtrlStyled& control = list->listCtrl();
        const HIMAGELIST small = control.GetImageList(LVSIL_SMALL);
        ASSERT_NE(small, nullptr);
        EXPECT_EQ(small, list->imageList().GetSafeHandle());
        EXPECT_EQ(ImageList_GetImageCount(small), 0);
        ASSERT_EQ(control.GetItemCount(), 2);
        for (int row = 0; row < 2; ++row) {
            LVITEMW item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            ASSERT_TRUE(control.GetItem(&item));
            EXPECT_EQ(item.iImage, 1) << row;
        }
    }
    EXPECT_NE(lists[0]->imageList().GetSafeHandle(), lists[1]->imageList().GetSafeHandle());
}

// The lists answer the help key that every mode panel shares: empty, not
// their dialog template's.
TEST_F(GroupListWindow, EachListsHelpKeyIsEmpty)
{
    for (int mode : {3, 4}) {
        kvCMultiSelListDialog* list = listOfMode(mode);
        ASSERT_NE(list, nullptr) << mode;
        EXPECT_TRUE(list->helpContext().isEmpty()) << mode << ": " << list->helpContext().str();
    }
}

// Opening the radius list's menu takes the CAD environment's layer and
// colour into the window's layer name and colour.
TEST_F(GroupListWindow, TheRadiusListsMenuWritesTheWindowsLayerNameAndColour)
{
    kvCMultiSelRadiusDialog* list = radiusListWithRows();
    ASSERT_NE(list, nullptr);
    propSet(dlg->propertySet(), kvKeyCadLayer, kvCString(L"Radii"));
    propSet(dlg->propertySet(), kvKeyCadColor, static_cast<unsigned long>(0x00A0B0C0));
    openMenu(list);
    EXPECT_EQ(dlg->savingStyle().layer, L"Radii");
    EXPECT_EQ(dlg->savingStyle().colour, 0x00A0B0C0ul);
    const std::vector<std::wstring> menu = kvplat::lastTrackedMenu();
    ASSERT_FALSE(menu.empty());
    EXPECT_NE(menu.back().find(L"<Radii_R3..."), std::wstring::npos);
}

// The layer command makes the attributes' layer the window's current layer
// name; the faces go on layers named after the layer the menu offered.
TEST_F(GroupListWindow, TheLayerCommandMakesTheAttributesLayerCurrentAndLayersTheFacesByTheMenusLayer)
{
    kvCMultiSelRadiusDialog* list = radiusListWithRows();
    ASSERT_NE(list, nullptr);
    propSet(dlg->propertySet(), kvKeyCadLayer, kvCString(L"Radii"));
    kvCColor red;
    red.setRGB(255, 0, 0);
    propSet(dlg->propertySet(), kvKeyCadAttribute, kvCCadEntityData(red, kvCString(L"Current")));
    ASSERT_EQ(list->listCtrl().GetFirstSelected(), 0);
    ::SendMessageW(list->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kvCMultiSelListDialog::cmdWriteOnLayers, 0), 0);
    EXPECT_EQ(dlg->savingStyle().layer, L"Current");
    EXPECT_EQ(face->layers, std::vector<std::wstring>{L"Radii_R3"});
}

}  // namespace
