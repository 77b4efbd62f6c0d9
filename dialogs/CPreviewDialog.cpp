#include "dialogs/CPreviewDialog.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include "access/CMSAccessDBHandler.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwGroup.h"
#include "host/CDrwSubSheet.h"
#include "host/CPlugInManager.h"
#include "host/CurrentDesign.h"
#include "platform/ui/CMenu.h"
#include "resources/VaultryStrings.h"

namespace {

// The dimension kinds of the "V" menu and their bits.
struct DimensionCommand {
    UINT command;
    unsigned long bit;
};
constexpr DimensionCommand kDimensionCommands[] = {
    {ID_DIM_RANGE_HORZ, 0x01}, {ID_DIM_RANGE_VERT, 0x02},    {ID_DIM_PITCH_HORZ, 0x04},
    {ID_DIM_PITCH_VERT, 0x08}, {ID_DIM_PITCH_HORZ_EX, 0x10}, {ID_DIM_PITCH_VERT_EX, 0x20},
    {ID_DIM_PAD, 0x40},
};

// The "V" button: a push button with a downward arrow, as a scroll bar's.
void DrawMenuButton(QWidget& widget, QPainter& painter, const CRect& rect) {
    QStyleOptionButton button;
    button.initFrom(&widget);
    button.rect = QRect(0, 0, static_cast<int>(rect.Width()), static_cast<int>(rect.Height()));
    QStyle* style = widget.style();
    style->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, &widget);
    QStyleOption arrow;
    arrow.initFrom(&widget);
    arrow.rect = button.rect.adjusted(2, 3, -2, -3);
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, &widget);
}

}  // namespace

CPreviewDialog::CPreviewDialog(UINT templateId, CWnd* parent) : CModuleDialog(templateId, parent) {}

CPreviewDialog::~CPreviewDialog() {
    m_preview.RemoveAllObjects();  // before the objects it shows go
}

void CPreviewDialog::CreatePreviewControls() {
    CDataExchange exchange(this, FALSE);
    DDX_Control(&exchange, IDC_SHOW_DIMENSIONS, m_showDimensions);
    DDX_Control(&exchange, IDC_DIMENSION_MENU, m_dimensionMenu);
    DDX_Control(&exchange, IDC_UNITS, m_unitsCombo);
    m_preview.Create(CRect{0, 0, 10, 10}, this);
    ReplaceControl(IDC_PREVIEW, m_preview);
    const CUnitInfo local;
    const CUnitInfo* host = GetSheetUnitInfo();
    m_pUnitInfo = m_unitControl.CreateUnitControl(this, host ? *host : local, 8, m_unitsCombo,
                                                  [this] { RedoDimensions(); });
    m_showDimensions.OnClicked([this] { OnDimension(); });
    m_dimensionMenu.OnClicked([this] { OnDimensionMenu(); });
    if (QWidget* button = m_dimensionMenu.Widget()) {
        m_dimensionMenu.SetOwnerDraw([button](QPainter& painter, const CRect& rect) {
            DrawMenuButton(*button, painter, rect);
        });
    }
}

BOOL CPreviewDialog::OnCommand(UINT id) {
    for (const DimensionCommand& kind : kDimensionCommands) {
        if (kind.command == id) {
            ToggleShowDimBit(kind.bit);
            return TRUE;
        }
    }
    if (id == ID_DIM_CLEAR_ALL) {
        OnDimClearAll();
        return TRUE;
    }
    if (id == ID_DIM_CHECK_ALL) {
        OnDimCheckAll();
        return TRUE;
    }
    return CModuleDialog::OnCommand(id);
}

void CPreviewDialog::ToggleShowDimBit(unsigned long bit) {
    m_dimensionMask ^= bit;
    RedoDimensions();
}

void CPreviewDialog::OnDimRangeHorz() {
    ToggleShowDimBit(0x01);
}
void CPreviewDialog::OnDimRangeVert() {
    ToggleShowDimBit(0x02);
}
void CPreviewDialog::OnDimPitchHorz() {
    ToggleShowDimBit(0x04);
}
void CPreviewDialog::OnDimPitchVert() {
    ToggleShowDimBit(0x08);
}
void CPreviewDialog::OnDimPitchHorzEx() {
    ToggleShowDimBit(0x10);
}
void CPreviewDialog::OnDimPitchVertEx() {
    ToggleShowDimBit(0x20);
}
void CPreviewDialog::OnDimPad() {
    ToggleShowDimBit(0x40);
}

void CPreviewDialog::OnDimClearAll() {
    m_dimensionMask = 0;
    RedoDimensions();
}

void CPreviewDialog::OnDimCheckAll() {
    m_dimensionMask = 0xFFFFFFFF;
    RedoDimensions();
}

void CPreviewDialog::OnDimension() {
    UpdateControls();
    RedoDimensions();
}

void CPreviewDialog::UpdateControls() {
    const BOOL shown = m_showDimensions.GetCheck() == BST_CHECKED ? TRUE : FALSE;
    for (const UINT id : {static_cast<UINT>(IDC_UNITS_LABEL), static_cast<UINT>(IDC_UNITS),
                          static_cast<UINT>(IDC_DIMENSION_MENU)}) {
        if (CWnd* control = GetDlgItem(id)) {
            control->EnableWindow(shown);
        }
    }
}

void CPreviewDialog::OnDimensionMenu() {
    CMenu menu;  // this module's, current while the dialog runs
    if (!menu.LoadMenu(IDR_DIMENSIONS_MENU)) {
        return;
    }
    CMenu* popup = menu.GetSubMenu(0);
    for (int position = 0; popup != nullptr && position < popup->GetMenuItemCount(); ++position) {
        for (const DimensionCommand& kind : kDimensionCommands) {
            if (popup->GetMenuItemID(position) == kind.command && (m_dimensionMask & kind.bit)) {
                popup->CheckMenuItem(static_cast<UINT>(position), MF_BYPOSITION | MF_CHECKED);
            }
        }
    }
    QWidget* button = m_showDimensions.Widget();
    const QPoint corner = button ? button->mapToGlobal(QPoint(0, button->height())) : QPoint();
    if (popup != nullptr) {
        popup->TrackPopupMenu(TPM_LEFTALIGN, corner.x(), corner.y(), this);
    }
}

// The overlay follows the part, the kinds chosen and the unit chosen: it is made again whenever
// one of them changes.
void CPreviewDialog::RedoDimensions() {
    if (m_loadedGroup == nullptr) {
        return;
    }
    ShowLoadedGroup();
}

void CPreviewDialog::ShowLoadedGroup() {
    m_preview.RemoveAllObjects();
    m_preview.SetMessage("");
    m_preview.AddDrawObject(m_loadedGroup.get(), true);
    m_dimensions.DestroyContent();
    if (m_showDimensions.GetCheck() == BST_CHECKED) {
        m_loadedGroup->CreateDimensions(&m_dimensions, m_pUnitInfo, m_dimensionMask);
        m_preview.AddList(&m_dimensions);
    }
    m_preview.ZoomToFitObjects();
}

void CPreviewDialog::TakeDefinitionsOf(const CString& docType) {
    const CKV_DocInterface* plugIn = GetPlugInManager()->GetDocInterface(docType);
    m_layers.DeleteAll();
    m_colours.DeleteAll();
    if (plugIn != nullptr) {
        m_layers.Init(*plugIn->GetLayerDefinition());
        if (const CColorDefinition* colours = plugIn->GetColorDefinition(0)) {
            m_colours.Init(*colours);
        }
    }
}

long CPreviewDialog::LoadIntoPreview(CMSAccessDBHandler& library, long objectID,
                                     CLayerDefinition* layers, CColorDefinition* colours) {
    ClearPreview();
    // The part is read with the definitions of its own type, not those of the part before it.
    TakeDefinitionsOf(library.GetDocType(library.GetObjectTypeID(objectID)));
    CLayerDefinition* readLayers = layers ? layers : &m_layers;
    CColorDefinition* readColours = colours ? colours : &m_colours;
    CDrwSubSheet scratch(nullptr);
    CDrwGroup* group = nullptr;
    const long typeID = library.LoadObject(&scratch, group, objectID, readLayers, readColours);
    m_loadedGroup.reset(group);
    if (typeID < 0 || m_loadedGroup == nullptr) {
        m_loadedGroup.reset();
        m_preview.SetMessage("The part could not be read.");
        return -1;
    }
    InitPreview(typeID, &library);
    m_preview.Init(readColours, readLayers, nullptr);
    ShowLoadedGroup();
    return typeID;
}

void CPreviewDialog::ClearPreview() {
    m_preview.RemoveAllObjects();
    m_preview.SetMessage("");
    m_dimensions.DestroyContent();
    m_loadedGroup.reset();
}

std::unique_ptr<CDrwGroup> CPreviewDialog::TakeLoadedGroup() {
    m_preview.RemoveAllObjects();
    m_dimensions.DestroyContent();
    return std::move(m_loadedGroup);
}

void CPreviewDialog::InitPreview(long typeID, CMSAccessDBHandler* library) {
    if (typeID == m_lastPreviewedTypeID || library == nullptr) {
        return;
    }
    m_lastPreviewedTypeID = typeID;
    m_preview.Init(library->GetDocType(typeID));
}
