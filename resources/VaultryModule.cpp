#include "resources/VaultryModule.h"

#include <map>

#include "host/ResourceStrings.h"
#include "resources/VaultryStrings.h"
#include "resources/VaultryTemplates.h"
#include "resources_bitmaps.h"

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
            {IDS_CATEGORY_NOT_COPIED,
             "The category was not copied; the destination is as it was. %1"},
            {IDS_PART_NOT_COPIED, "The part \"%1\" could not be copied."},
            {IDS_DBARCHIVE_ELEMENTS, "Elements"},
            {IDS_DBARCHIVE_ELEMENT_ID, "ElementID"},
            {IDS_DBARCHIVE_ELEMENT_NAME, "ElementName"},
            {IDS_DBARCHIVE_ATTRIBUTES, "Attributes"},
            {IDS_DBARCHIVE_ATTRIBUTE_ID, "AttributeID"},
            {IDS_DBARCHIVE_ATTRIBUTE_NAME, "AttributeName"},
            {IDS_DBARCHIVE_ELEMENT_PARENT, "ElementParent"},
            {IDS_DBARCHIVE_ATTRIBUTE_PARENT, "AttributeParent"},
            {IDS_TREE_NEW, "New"},
            {IDS_TREE_RENAME, "Rename"},
            {IDS_ALL_TYPES, "All types"},
            {IDS_DELETE, "Delete"},
            {IDS_CANNOT_COPY_TO_DESTINATION, "Cannot copy to destination selected."},
            {IDS_CHECK_RENAME, "Rename the selected item"},
            {IDS_CHECK_SELECT_ALL, "Select All items"},
            {IDS_CHECK_UNSELECT_ALL, "Unselect All Items"},
            {IDS_NAME_TAKEN_NO_RIGHTS,
             "A %1 with that name already exists in this database and you do not have the rights "
             "to change it. Please select a different name."},
            {IDS_SPECIFY_NAME, "Please specify a name for this %1"},
            {IDS_NO_SUCH_NAME,
             "There is no %1 in this database with that name. Select a different name or press "
             "Cancel."},
            {IDS_DELETE_CATEGORY,
             "This action will remove the selected category\nfrom the database. All objects in "
             "this category\nwill also be deleted, including subcategories.\n\nThis action can NOT "
             "be undone.\n\nPress OK to proceed or CANCEL to stop this action."},
            {IDS_SELECT_GROUP_FIRST,
             "A %1group has to be selected \nin the tree before continuing"},
            {IDS_BAR_DATABASE, "&Database"},
            {IDS_BAR_PARTS, "&Parts"},
            {IDS_TREE_COPY, "Copy the selected item..."},
            {IDS_TREE_MOVE, "Move the selected item..."},
            {IDS_PART_NEW, "New"},
            {IDS_PART_EDIT, "Edit"},
            {IDS_TREE_ADD, "Add"},
            {IDS_STORE_FAILED, "Failed to store the specified object(s) to the database."},
            {IDS_DELETE_THIS_PART, "Are you sure you want to delete this part  : "},
            {IDS_DELETE_SELECTED_PARTS, "Delete selected parts from database?"},
            {IDS_BAR_AVAILABLE_PARTS, "&Available parts"},
            {IDS_NAME_MISSING, "Cannot add object without a name"},
            {IDS_OVERWRITE, "A %1 with that name already exists in the database.\n\nOverwrite it?"},
            {IDS_ENTER_VALID_NAME, "Please enter a valid name."},
            {IDS_ALL_NAMES_TAKEN,
             "There were components with the same name found for all components on the design. If "
             "you still want to add components of this design to the database, please rename the "
             "shape first."},
            {IDS_UNIQUE_NAMES_HELP,
             "Each part in the database must have a unique name. If a part name already exists in "
             "the User database, then it must be renamed before adding it to the User "
             "database.\n\n1. Change the part name (highlight and right-click or press F2)."},
            {IDS_UNIQUE_NAMES_HELP_STEPS,
             "\n2. Select the part by clicking in the box to the left of the name.\n3. Choose "
             "OK.\n\nNote: If you are unable to select a part, then the name already exists in the "
             "libary and you must choose a new name."},
            {IDS_MASTER_LOCKED,
             "The master library may not be changed: the host does not allow it."},
            {IDS_WRONG_PASSWORD, "No rights: the library password is missing or wrong."},
            {IDS_OWNED_BY_OTHER_USER,
             "No rights: this belongs to another user, who protects it with a password."},
            {IDS_NO_SUCH_CATEGORY, "There is no such category."},
            {IDS_NO_SUCH_PART, "There is no such part."},
            {IDS_CATEGORY_EXISTS, "A category named \"%1\" is already there."},
            {IDS_INTO_ITSELF,
             "A category cannot go into itself or into one of its own sub-categories."},
            {IDS_ALREADY_THERE, "The category is already there."},
            {IDS_TOP_CATEGORY, "A top category cannot be moved, renamed or removed."},
            {IDS_PART_NOT_REMOVED,
             "The part \"%1\" was copied but could not be removed from where it was."},
            {IDS_NO_SUCH_USER, "There is no such user."},
            {IDS_NAME_TOO_LONG, "A name may have at most 255 characters; this one has %1."},
            {IDS_NAME_CONTROL_CHARACTER,
             "A name may not hold control characters (tab, line break and the like)."},
            {IDS_CATEGORY_NOT_REMOVED,
             "The category \"%1\" was copied but could not be removed from where it was."},
            {IDS_TREE_DAMAGED,
             "The category tree of this library is damaged: some categories are their own "
             "ancestors. Each is listed once; run \"vaultry check\" to find them."},
            {IDS_PART_UNREADABLE,
             "The part \"%1\" could not be read: its data is damaged. Run \"vaultry check\" "
             "to find such parts."},
            {IDS_PASSWORD_MISMATCH,
             "The Password in the confirmation field does NOT match the one in the password "
             "field, please try again."},
        },
        {{IDB_PART_LIST, CResourceBitmap::Of(k_part_list)},
         {IDB_TIER_MASTER, CResourceBitmap::Of(k_tier_master)},
         {IDB_TIER_CORPORATE, CResourceBitmap::Of(k_tier_corporate)},
         {IDB_TIER_USER, CResourceBitmap::Of(k_tier_user)},
         {IDB_BUTTON_NEW, CResourceBitmap::Of(k_button_new)},
         {IDB_BUTTON_DELETE, CResourceBitmap::Of(k_button_delete)},
         {IDB_BUTTON_RENAME, CResourceBitmap::Of(k_button_rename)},
         {IDB_BUTTON_COPY, CResourceBitmap::Of(k_button_copy)},
         {IDB_BUTTON_MOVE, CResourceBitmap::Of(k_button_move)},
         {IDB_BUTTON_EDIT, CResourceBitmap::Of(k_button_edit)},
         {IDB_BUTTON_ADD, CResourceBitmap::Of(k_button_add)},
         {IDB_BUTTON_SELECT_ALL, CResourceBitmap::Of(k_button_select_all)},
         {IDB_BUTTON_UNSELECT_ALL, CResourceBitmap::Of(k_button_unselect_all)}},
        VaultryDialogs(), VaultryMenus());
    return &module;
}

CString ModuleString(UINT id) {
    return GetResourceString(VaultryModuleInstance(), id);
}

CString TierTitle(DATABASETYPE type) {
    switch (type) {
        case DATABASETYPE_MASTER:
            return ModuleString(IDS_TIER_MASTER);
        case DATABASETYPE_CORPORATE:
            return ModuleString(IDS_TIER_CORPORATE);
        default:
            return ModuleString(IDS_TIER_USER);
    }
}
