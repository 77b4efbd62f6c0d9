#pragma once
// What the Database Manager and the select dialog share: the preview of one part, its overlay
// of dimensions (spans, pitches, pad sizes) chosen from the "V" menu and shown with "Show
// Dimensions", and the units they are written in. A dialog of this kind has the controls of
// both templates: the preview placeholder, "Show Dimensions", "V", "Units" and the units list.

#include <memory>

#include "access/ui/ModuleDialog.h"
#include "host/CColorDefinition.h"
#include "host/CDrwObList.h"
#include "host/CLayerDefinition.h"
#include "host/ui/CPreviewWnd.h"
#include "host/ui/CUnitControlCreation.h"
#include "platform/ui/Controls.h"

class CDrwGroup;
class CMSAccessDBHandler;

class CPreviewDialog : public CModuleDialog {
public:
    CPreviewDialog(UINT templateId, CWnd* parent);
    ~CPreviewDialog() override;

    // Every kind but the two inter-row and inter-column pitches.
    static constexpr unsigned long kDefaultDimensionMask = 0xFFFFFFCF;

    void ToggleShowDimBit(unsigned long bit);
    void OnDimRangeHorz();
    void OnDimRangeVert();
    void OnDimPitchHorz();
    void OnDimPitchVert();
    void OnDimPitchHorzEx();
    void OnDimPitchVertEx();
    void OnDimPad();
    void OnDimClearAll();
    void OnDimCheckAll();
    // "Show Dimensions" was clicked.
    void OnDimension();
    // "V" was clicked: the menu of dimension kinds, the kinds shown checked.
    void OnDimensionMenu();
    // The units and "V" can be used only while dimensions are shown.
    void UpdateControls();
    // Makes the overlay of the part shown anew, in the unit chosen now.
    void RedoDimensions();

    unsigned long GetDimensionMask() const { return m_dimensionMask; }
    const CDrwObList& GetDimensions() const { return m_dimensions; }
    CPreviewWnd& GetPreview() { return m_preview; }
    // The part shown, null for none; owned by the dialog.
    CDrwGroup* GetLoadedGroup() const { return m_loadedGroup.get(); }

    BOOL OnCommand(UINT id) override;

protected:
    // Puts the preview in its placeholder's place and makes the units control; for OnInitDialog.
    void CreatePreviewControls();
    // Part `objectID` of `library` decoded with `layers` and `colours` (those of the part's own
    // document type when null) into the preview, with its overlay; its object type id. A part
    // that cannot be read leaves the preview saying so; -1.
    long LoadIntoPreview(CMSAccessDBHandler& library, long objectID, CLayerDefinition* layers,
                         CColorDefinition* colours);
    // Empties the preview and forgets the part shown.
    void ClearPreview();
    // Gives up the part shown to the caller.
    std::unique_ptr<CDrwGroup> TakeLoadedGroup();
    // Makes the preview draw with the definitions of the document type of `typeID`, once per type.
    void InitPreview(long typeID, CMSAccessDBHandler* library);

private:
    void ShowLoadedGroup();
    // The layer and colour definitions of the plug-in serving `docType`, into the members.
    void TakeDefinitionsOf(const CString& docType);

    CPreviewWnd m_preview;
    CUnitControlCreation m_unitControl;
    CUnitInfo* m_pUnitInfo = nullptr;  // the units control's
    unsigned long m_dimensionMask = kDefaultDimensionMask;
    CDrwObList m_dimensions;  // owns the dimension objects
    std::unique_ptr<CDrwGroup> m_loadedGroup;
    long m_lastPreviewedTypeID = -1;
    CLayerDefinition m_layers;  // the definitions parts of the type shown are decoded with
    CColorDefinition m_colours;
    CButton m_showDimensions;
    CButton m_dimensionMenu;
    CComboBox m_unitsCombo;
};
