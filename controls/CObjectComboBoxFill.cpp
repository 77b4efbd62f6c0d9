// The part list's fill: the parts of a category read from the libraries, the name filter
// applied to them, and the pictures each part is drawn with.

#include <unordered_map>

#include "access/CMSAccessDBHandler.h"
#include "access/LibrarySet.h"
#include "access/PartGeometryTable.h"
#include "controls/CIconRegister.h"
#include "controls/CObjectComboBox.h"
#include "host/BuiltInPlugIns.h"
#include "host/CPlugInManager.h"
#include "host/GeometryQuery.h"
#include "platform/afx/CException.h"
#include "platform/dao/DaoQuote.h"
#include "platform/dao/JetPattern.h"
#include "platform/ui/CBitmap.h"
#include "resources/CDllResourceHandler.h"
#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"

using vaultry::dao::JetPattern;
using vaultry::dao::LikeLiteral;

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);
constexpr int kNoRightsImage = 0;  // in the part-list strip; also overlay 1
constexpr int kPartImage = 1;      // for a part whose type has no icon
constexpr int kNoRightsOverlay = 1;

// The tiers in list order.
constexpr DATABASETYPE kTiersUserFirst[] = {DATABASETYPE_USER, DATABASETYPE_CORPORATE,
                                            DATABASETYPE_MASTER};

int TierIndex(DATABASETYPE type) {
    return type == DATABASETYPE_CORPORATE ? 1 : type == DATABASETYPE_USER ? 2 : 0;
}

}  // namespace

// The module's pictures, taken through its resource switch whatever module is current.
void CObjectComboBox::MakeImageLists() {
    CDllResourceHandler restore;
    AfxSetResourceHandle(VaultryModuleInstance());
    CBitmap strip;
    m_ImageList.Create(16, 16);
    if (strip.LoadBitmap(IDB_PART_LIST)) {
        m_ImageList.Add(strip, kMask);
        m_ImageList.SetOverlayImage(kNoRightsImage, kNoRightsOverlay);
    }
    m_StateImageList.Create(16, 16);
    for (const UINT id : {IDB_TIER_MASTER, IDB_TIER_CORPORATE, IDB_TIER_USER}) {
        CBitmap mark;
        if (mark.LoadBitmap(id)) {
            m_StateImageList.Add(mark, kMask);
        }
    }
}

void CObjectComboBox::ClearList() {
    m_ListCtrl.SetItemCountEx(0);
    m_aShown.clear();
    m_aEntries.clear();
    m_geometry.clear();
}

void CObjectComboBox::FillList(const CString& treeFilter, DATABASETYPE type) {
    m_strTreeFilter = treeFilter;
    m_eTreeDatabase = type;
    ClearList();
    for (const DATABASETYPE tier : kTiersUserFirst) {
        const bool shown = m_eDatabaseForShow == 0 || m_eDatabaseForShow == tier;
        if (shown && (type == 0 || type == tier) && GetAccessDB(tier) != nullptr) {
            FillTier(*GetAccessDB(tier));
        }
    }
    ApplyNameFilter();
}

// The name filter picks from the parts the last fill read, as the file's LIKE would pick
// them: typing reads nothing, so that each key answers at once however large the category.
// Geometry terms among the words pick by the measured land patterns, read once per fill.
void CObjectComboBox::ApplyNameFilter() {
    m_ListCtrl.SetItemCountEx(0);  // the items change: nothing stays selected
    m_aShown.clear();
    m_strLongestName.Empty();
    const NameAndGeometry typed = SplitGeometryTerms(m_strNameFilter.str());
    const CString nameTyped(typed.name.c_str());
    const JetPattern pattern(("*" + LikeLiteral(nameTyped) + "*").str());
    for (std::size_t i = 0; i < m_aEntries.size(); ++i) {
        const CString& name = m_aEntries[i].strObjectName;
        const PartGeometry* geometry = typed.geometry.Empty() ? nullptr : GeometryOf(m_aEntries[i]);
        if ((nameTyped.IsEmpty() || pattern.Matches(name.str())) &&
            (typed.geometry.Empty() ||
             (geometry != nullptr && typed.geometry.Matches(*geometry)))) {
            m_aShown.push_back(i);
            if (name.GetLength() > m_strLongestName.GetLength()) {
                m_strLongestName = name;
            }
        }
    }
    m_ListCtrl.SetItemCountEx(static_cast<int>(m_aShown.size()));
    SetColumnWidth();
}

// A part of a library that cannot be read has no land pattern to match.
const PartGeometry* CObjectComboBox::GeometryOf(const OBJECT_ENTRY& entry) {
    auto tier = m_geometry.find(entry.eDatabaseType);
    if (tier == m_geometry.end()) {
        std::map<long, PartGeometry> measured;
        if (CMSAccessDBHandler* library = GetAccessDB(entry.eDatabaseType)) {
            try {
                measured = PartGeometryTable(*library).ReadAll();
            } catch (const CException&) {
                // unreadable: its parts match no term, as they would match no name
            }
        }
        tier = m_geometry.emplace(entry.eDatabaseType, std::move(measured)).first;
    }
    const auto part = tier->second.find(entry.lObjectID);
    return part == tier->second.end() ? nullptr : &part->second;
}

// The parts of one library in the category, of the wanted types, in name order. A library that
// cannot be read empties the whole list, as it would show a part of what was asked for.
void CObjectComboBox::FillTier(CMSAccessDBHandler& library) {
    const DATABASETYPE tier = library.GetDatabaseType();
    try {
        CRSObjectTypes types(&library);
        CDWordArray wanted;
        const ZB_OBJECTVISIBILITY hidden = ZB_VISIBILITY_HIDDEN;
        types.GetValidObjectTypeIDList(m_strDocTypeFilter, wanted, &hidden);
        std::unordered_map<long, int> images;  // by object type
        for (const DWORD type : wanted) {
            images.emplace(static_cast<long>(type),
                           ImageOf(types.GetDocType(static_cast<long>(type))));
        }
        CRSObjects parts(tier, &library);
        parts.m_strFilter = m_strTreeFilter;
        parts.m_strSort = "strObjectName";
        parts.Open(dbOpenForwardOnly);
        // The rights rule looks at a part's owner only: parts of one owner share the answer.
        std::unordered_map<long, bool> rights;
        for (; !parts.IsEOF(); parts.MoveNext()) {
            const auto image = images.find(parts.m_lObjectTypeID);
            if (image == images.end()) {
                continue;
            }
            auto owner = rights.find(parts.m_lUserID);
            if (owner == rights.end()) {
                owner = rights.emplace(parts.m_lUserID, library.HasRightsOn(parts.m_lUserID)).first;
            }
            m_aEntries.push_back(
                {parts.m_lObjectID, parts.m_strObjectName, tier, owner->second, image->second});
        }
    } catch (const CException&) {
        ClearList();
    }
}

// The icon of a document type: from the document information of the plug-in that serves it
// (or of the type it names), else from the icons registered for types; a type with neither
// gets the picture of a plain part.
int CObjectComboBox::ImageOf(const CString& docType) {
    if (docType.IsEmpty() || GetPlugInManager()->GetDocInterface(docType) == nullptr) {
        return kPartImage;
    }
    HINSTANCE module = nullptr;
    UINT resourceID = 0;
    DOCINFOSTRUCT info;
    if (GetDocInfoForDocType(docType, info)) {
        DOCINFOSTRUCT related;
        if (info.pszRelatedDocType != nullptr && docType != info.pszRelatedDocType &&
            GetDocInfoForDocType(info.pszRelatedDocType, related)) {
            info = related;
        }
        module = info.hModule;
        resourceID = info.nIconID;
    } else {
        GetIconInfoForDocType(docType, module, resourceID);
    }
    const int image = module ? IconImage(module, resourceID) : -1;
    return image >= 0 ? image : kPartImage;
}

int CObjectComboBox::IconImage(HINSTANCE module, UINT resourceID) {
    const auto cached = m_aImageInfo.find({module, resourceID});
    if (cached != m_aImageInfo.end()) {
        return cached->second;
    }
    CBitmap bitmap;
    const int image = bitmap.LoadBitmap(module, resourceID) ? m_ImageList.Add(bitmap, kMask) : -1;
    m_aImageInfo.emplace(std::make_pair(module, resourceID), image);
    return image;
}

ListItemDisplay CObjectComboBox::Display(int item) const {
    ListItemDisplay display;
    if (item < 0 || item >= static_cast<int>(m_aShown.size())) {
        return display;
    }
    const OBJECT_ENTRY& entry = m_aEntries[m_aShown[static_cast<std::size_t>(item)]];
    display.text = entry.strObjectName;
    display.image = entry.nImage;
    display.overlay = entry.bHasRights ? 0 : kNoRightsOverlay;
    display.stateImage = 1 + TierIndex(entry.eDatabaseType);
    return display;
}

// The list widens its column to the view by itself, also when the view changes size later.
void CObjectComboBox::SetColumnWidth() {
    m_ListCtrl.SetColumnWidth(m_ListCtrl.GetStringWidth(m_strLongestName) + 40);
}
