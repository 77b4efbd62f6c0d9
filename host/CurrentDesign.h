#pragma once
// The design the host has open, as the library module asks for it: its current sheet and the
// definitions and unit it works with. Each is null while no design is open.

class CColorDefinition;
class CDrwSubSheet;
class CLayerDefinition;
class CTotalLayerInformation;
class CUnitInfo;

// Not owned by the caller.
CDrwSubSheet* GetDrwSubSheet();
CLayerDefinition* GetSheetLayerDefinition();
CColorDefinition* GetSheetColorDefinition();
CUnitInfo* GetSheetUnitInfo();
CTotalLayerInformation* GetTotalLayerInformation();

// The reference host opens a design by naming its sheet (not owned; null closes it). The draw
// context follows the sheet's definitions while it is open.
void SetCurrentDesign(CDrwSubSheet* sheet);
