// ls, show, cp, mv, rename and rm for parts.

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

#include "access/CMSAccessDBHandler.h"
#include "apps/vaultry/Categories.h"
#include "apps/vaultry/Commands.h"
#include "apps/vaultry/Json.h"
#include "apps/vaultry/PartReference.h"
#include "apps/vaultry/Session.h"
#include "host/CDrwDimension.h"
#include "host/CDrwGroup.h"
#include "host/CDrwObList.h"
#include "host/CDrwShapes.h"
#include "host/CUnitInfo.h"

namespace vaultry::cli {
namespace {

const char* ShapeName(PadShape shape) {
    switch (shape) {
        case PadShape::kRound:
            return "round";
        case PadShape::kRectangle:
            return "rectangle";
        case PadShape::kOval:
            return "oval";
        case PadShape::kRoundedRectangle:
            return "rounded rectangle";
        default:
            return "polygon";
    }
}

const char* DimensionName(DimensionKind kind) {
    switch (kind) {
        case kDimHorizontalSpan:
            return "horizontal span";
        case kDimVerticalSpan:
            return "vertical span";
        case kDimHorizontalPitch:
            return "horizontal pitch";
        case kDimVerticalPitch:
            return "vertical pitch";
        case kDimInterRowHorizontalPitch:
            return "inter-row horizontal pitch";
        case kDimInterColumnVerticalPitch:
            return "inter-column vertical pitch";
        default:
            return "pad size";
    }
}

// "pad" for a CDrwPad, and so on.
std::string ObjectKind(const CDrawObject& object) {
    std::string kind = object.GetRuntimeClass()->m_lpszClassName;
    kind = kind.rfind("CDrw", 0) == 0 ? kind.substr(4) : kind;
    std::transform(kind.begin(), kind.end(), kind.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return kind;
}

// Every object of the group and its sub-groups, by kind.
void CountObjects(const CDrwGroup& group, std::map<std::string, int>& counts) {
    for (int i = 0; i < group.GetObjectCount(); ++i) {
        const CDrawObject* object = group.GetObject(i);
        ++counts[ObjectKind(*object)];
        if (object->IsGroup()) {
            CountObjects(static_cast<const CDrwGroup&>(*object), counts);
        }
    }
}

void PrintPart(const LoadedPart& part, const CUnitInfo& units, Output output) {
    const CDrwGroup& group = *part.group;
    std::map<std::string, int> counts;
    CountObjects(group, counts);
    const CKVRect box = group.GetBoundingBox();
    CDrwObList dimensions;
    group.CreateDimensions(&dimensions, &units, 0x7F);
    std::ostream& out = output.out;
    if (output.json) {
        out << "{\"id\":" << part.ref.id << ",\"name\":" << JsonString(part.ref.name.str())
            << ",\"tier\":\"" << TierName(part.ref.tier)
            << "\",\"docType\":" << JsonString(part.ref.docType.str()) << ",\"objects\":{";
        bool first = true;
        for (const auto& [name, count] : counts) {
            out << (first ? "" : ",") << JsonString(name) << ":" << count;
            first = false;
        }
        out << "},\"boundingBox\":{\"left\":" << box.left << ",\"top\":" << box.top
            << ",\"right\":" << box.right << ",\"bottom\":" << box.bottom << "},\"pads\":[";
        const auto pads = group.Pads();
        for (std::size_t i = 0; i < pads.size(); ++i) {
            const CDrwPad& pad = *pads[i];
            out << (i ? "," : "") << "{\"number\":" << JsonString(pad.m_strNumber.str())
                << ",\"shape\":\"" << ShapeName(pad.m_eShape) << "\",\"x\":" << pad.m_x
                << ",\"y\":" << pad.m_y << ",\"width\":" << pad.m_width
                << ",\"height\":" << pad.m_height << ",\"drill\":" << pad.m_drill
                << ",\"drillHeight\":" << pad.m_drillHeight << ",\"rotation\":" << pad.m_rotation
                << ",\"plated\":" << (pad.m_bPlated ? "true" : "false") << "}";
        }
        out << "],\"dimensions\":[";
        for (int i = 0; i < dimensions.GetCount(); ++i) {
            const auto& dimension = static_cast<const CDrwDimension&>(*dimensions.GetAt(i));
            out << (i ? "," : "") << "{\"kind\":\"" << DimensionName(dimension.m_eKind)
                << "\",\"value\":" << dimension.m_value
                << ",\"text\":" << JsonString(dimension.m_strText.str()) << "}";
        }
        out << "]}\n";
        return;
    }
    out << part.ref.name.str() << " (" << part.ref.docType.str() << ", id " << part.ref.id
        << " in the " << TierName(part.ref.tier) << " library)\n  objects:";
    for (const auto& [name, count] : counts) {
        out << " " << count << " " << name;
    }
    out << "\n  bounding box: " << units.Format(box.right - box.left).str() << " x "
        << units.Format(box.top - box.bottom).str() << "\n  pads:\n";
    for (const CDrwPad* pad : group.Pads()) {
        out << "    " << pad->m_strNumber.str() << "  " << ShapeName(pad->m_eShape) << " "
            << units.Format(pad->m_width).str() << " x " << units.Format(pad->m_height).str()
            << " at (" << units.Format(pad->m_x).str() << ", " << units.Format(pad->m_y).str()
            << ")";
        if (pad->m_rotation != 0) {
            out << ", turned " << static_cast<double>(pad->m_rotation) / 1000.0 << " degrees";
        }
        if (pad->m_drill > 0) {
            out << (pad->m_bPlated ? ", drill " : ", bare hole ")
                << units.Format(pad->m_drill).str();
            if (pad->m_drillHeight > 0) {
                out << " x " << units.Format(pad->m_drillHeight).str();
            }
        }
        out << "\n";
    }
    out << "  dimensions:\n";
    for (int i = 0; i < dimensions.GetCount(); ++i) {
        const auto& dimension = static_cast<const CDrwDimension&>(*dimensions.GetAt(i));
        out << "    " << DimensionName(dimension.m_eKind) << ": " << dimension.m_strText.str()
            << "\n";
    }
}

}  // namespace

CUnitInfo UnitNamed(const std::string& unit) {
    if (unit == "mil") {
        return CUnitInfo(CUnitInfo::kMil);
    }
    if (unit == "inch" || unit == "in") {
        return CUnitInfo(CUnitInfo::kInch);
    }
    if (unit == "mm" || unit.empty()) {
        return CUnitInfo(CUnitInfo::kMillimetre);
    }
    throw CommandError("no such unit: " + unit + " (mm, mil or inch)");
}

int ListCommand(Session& session, PartQuery query, const std::string& category,
                const std::string& tier, Output output) {
    if (!tier.empty()) {
        query.tier = TiersNamed(tier).front();
    }
    if (!category.empty()) {
        const CategoryRef found = ResolveCategory(session, category, tier);
        query.tier = found.type;
        query.category = found.id;
    }
    const std::vector<PartEntry> entries = ListParts(query);
    std::ostream& out = output.out;
    if (output.json) {
        out << "[";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const PartEntry& e = entries[i];
            out << (i ? ",\n " : "") << "{\"id\":" << e.id
                << ",\"name\":" << JsonString(e.name.str())
                << ",\"docType\":" << JsonString(e.docType.str()) << ",\"category\":" << e.category
                << ",\"owner\":" << e.owner << ",\"ownerName\":" << JsonString(e.ownerName.str())
                << ",\"tier\":\"" << TierName(e.tier)
                << "\",\"rights\":" << (e.rights ? "true" : "false") << "}";
        }
        out << "]\n";
        return 0;
    }
    // Each piece put through the stream went on its own to the C library: at 100,000 parts that
    // cost a fifth of the listing. Lines are put together and written a block at a time.
    constexpr std::size_t kBlock = 1 << 16;
    std::string block;
    for (const PartEntry& e : entries) {
        block.append(std::to_string(e.id)).append("\t").append(e.name.str()).append("\t");
        block.append(e.docType.str()).append("\t");
        block.append(e.ownerName.IsEmpty() ? std::to_string(e.owner) : e.ownerName.str());
        block.append("\t").append(TierName(e.tier)).append("\n");
        if (block.size() >= kBlock) {
            out << block;
            block.clear();
        }
    }
    out << block;
    return 0;
}

int ShowCommand(Session& session, const PartArgument& argument, const std::string& unit,
                Output output) {
    const CUnitInfo units = UnitNamed(unit);
    PrintPart(LoadPart(session, ResolvePart(session, argument)), units, output);
    return 0;
}

int CopyPartCommand(Session& session, const PartArgument& argument, const std::string& destination,
                    Output output) {
    const PartEntry part = ResolvePart(session, argument);
    const CategoryRef target = ResolveCategory(session, destination, "");
    Attempt("cp " + part.name.str(), [&] {
        session.Editor(target.type).CopyPart(session.Tier(part.tier), part.id, target.id);
    });
    ReportDone(output, "copied " + part.name.str() + " to " + PathOf(session, target));
    return 0;
}

int MovePartCommand(Session& session, const PartArgument& argument, const std::string& destination,
                    Output output) {
    const PartEntry part = ResolvePart(session, argument);
    const CategoryRef target = ResolveCategory(session, destination, "");
    Attempt("mv " + part.name.str(), [&] {
        session.Editor(target.type).MovePartFrom(session.Tier(part.tier), part.id, target.id);
    });
    ReportDone(output, "moved " + part.name.str() + " to " + PathOf(session, target));
    return 0;
}

int RenamePartCommand(Session& session, const PartArgument& argument, const std::string& name,
                      Output output) {
    const PartEntry part = ResolvePart(session, argument);
    Attempt("rename " + part.name.str(),
            [&] { session.Editor(part.tier).RenamePart(part.id, name.c_str()); });
    ReportDone(output, "renamed " + part.name.str() + " to " + name);
    return 0;
}

int RemovePartCommand(Session& session, const PartArgument& argument, Output output) {
    const PartEntry part = ResolvePart(session, argument);
    Attempt("rm " + part.name.str(), [&] { session.Editor(part.tier).RemovePart(part.id); });
    ReportDone(output, "removed " + part.name.str());
    return 0;
}

}  // namespace vaultry::cli
