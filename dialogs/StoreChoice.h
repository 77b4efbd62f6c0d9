#pragma once
// What the store dialog's caller does after OK: the parts the user chose go into the category
// and library the dialog names, all of them in one transaction or none.

class CColorDefinition;
class CDrwGroup;
class CLayerDefinition;
class CStoreObjectsDlg;

// Stores the choice of `dialog` (after IDOK): `selection` under its new name in the one-part
// mode, else the ticked parts. The rights are tested first, asking for passwords in the module's
// dialog. The number stored; throws ChangeRefused (the library untouched) when the store is
// refused or fails.
int StoreChoice(const CStoreObjectsDlg& dialog, CDrwGroup* selection,
                const CColorDefinition* colours, const CLayerDefinition* layers);
