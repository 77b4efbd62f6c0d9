#include "access/VaultryModule.h"

#include "access/LibrarySet.h"
#include "access/VaultryStrings.h"

HINSTANCE VaultryModuleInstance() {
    static const CResourceModule module(
        "Vaultry",
        {
            {IDS_ERROR_OPENING_DATABASE, "Error opening the database. Error Nr : %d"},
            {IDS_DATABASE_NOT_FOUND,
             "The database could not be found in the default path, Please Specify the path in "
             "the Option tabs under the Tools menu"},
            {IDS_SELECT_MASTER_DATABASE, "Select the MASTER Norvik Footprint Database file"},
            {IDS_SELECT_CORPORATE_DATABASE, "Select the CORPORATE Footprint Database file"},
            {IDS_SELECT_USER_DATABASE, "Select the USER FootPrint Database file"},
            {IDS_DATABASE_FILE_FILTER, "Norvik database file (*.zblib)"},
            {IDS_DATABASE_FILE_PATTERN, "*.zblib"},
            {IDS_TIER_MASTER, "Norvik Master"},
            {IDS_TIER_CORPORATE, "Corporate database"},
            {IDS_TIER_USER, "User"},
            {IDS_FAILED_TO_SAVE_COMPONENT, "Failed to save the component : "},
            {IDS_UNKNOWN_PARTS,
             "The part(s) you are trying to save is/are unknown and can't be added to the "
             "database."},
            {IDS_NAME_EXISTS, "The specified name already exists, please give a unique name."},
            {IDS_UNNAMED_PART, "Unnamed part"},
            {IDS_UNNAMED_PART_NUMBERED, "Unnamed part(%d)"},
            {IDS_COPY_OF, "Copy of "},
            {IDS_COPY_NUMBERED_OF, "Copy(%d) of "},
            {IDS_COPYING_DATABASE_TREE, "Copying database tree"},
            {IDS_DBARCHIVE_ELEMENTS, "Elements"},
            {IDS_DBARCHIVE_ELEMENT_ID, "ElementID"},
            {IDS_DBARCHIVE_ELEMENT_NAME, "ElementName"},
            {IDS_DBARCHIVE_ATTRIBUTES, "Attributes"},
            {IDS_DBARCHIVE_ATTRIBUTE_ID, "AttributeID"},
            {IDS_DBARCHIVE_ATTRIBUTE_NAME, "AttributeName"},
            {IDS_DBARCHIVE_ELEMENT_PARENT, "ElementParent"},
            {IDS_DBARCHIVE_ATTRIBUTE_PARENT, "AttributeParent"},
        });
    return &module;
}

void VaultryAttachModule() {
    VaultryModuleInstance();
}

void VaultryDetachModule() {
    UnloadDB();
}
