#include "controls/PartTransfer.h"

#include "access/CMSAccessDBHandler.h"
#include "access/ChangeRefused.h"
#include "access/LibraryEditor.h"
#include "access/LibrarySet.h"
#include "access/RightsGate.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/dao/CDaoException.h"

bool TransferParts(const std::vector<LibraryItem>& parts, long treeID, DATABASETYPE tier,
                   bool move) {
    CMSAccessDBHandler* target = GetAccessDB(tier);
    if (target == nullptr) {
        return false;
    }
    RightsGate rights;
    LibraryEditor editor(*target, rights);
    bool done = false;
    for (const LibraryItem& part : parts) {
        CMSAccessDBHandler* source = GetAccessDB(part.tier);
        if (part.id == 0 || source == nullptr) {
            continue;
        }
        try {
            move ? editor.MovePartFrom(*source, part.id, treeID)
                 : editor.CopyPart(*source, part.id, treeID);
            done = true;
        } catch (const ChangeRefused& refused) {
            // A part copied but not removed is now in two libraries, and the user hears of it.
            if (refused.GetReason() == ChangeRefused::Reason::kFailed) {
                AfxMessageBox(refused.what(), MB_OK | MB_ICONERROR);
            }
        } catch (const CDaoException& error) {
            AfxMessageBox(error.GetErrorMessage(), MB_OK | MB_ICONERROR);
        }
    }
    return done;
}
