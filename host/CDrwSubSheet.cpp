#include "host/CDrwSubSheet.h"

#include "host/CPlugInManager.h"

CDrwSubSheet::CDrwSubSheet(const CLayerDefinition* layers) {
    if (layers != nullptr) {
        m_layers.Init(*layers);
    }
}

std::unique_ptr<CDrwSubSheet> CDrwSubSheet::ForDocType(const CString& docType) {
    const CKV_DocInterface* plugIn = GetPlugInManager()->GetDocInterface(docType);
    if (plugIn == nullptr) {
        return nullptr;
    }
    auto sheet = std::make_unique<CDrwSubSheet>(plugIn->GetLayerDefinition());
    if (plugIn->GetColorDefinition(0) != nullptr) {
        sheet->m_colors = *plugIn->GetColorDefinition(0);
    }
    sheet->SetDocType(plugIn->GetDocTypeName());
    return sheet;
}

void CDrwSubSheet::AddObject(std::unique_ptr<CDrawObject> object, bool selected) {
    m_objects.emplace_back(std::move(object), selected);
}

CDrwGroup* CDrwSubSheet::CreateGroupOfObjects(bool) {
    auto group = std::make_unique<CDrwGroup>();
    for (const auto& [object, selected] : m_objects) {
        if (selected) {
            group->Add(std::unique_ptr<CDrawObject>(static_cast<CDrawObject*>(object->Clone())));
        }
    }
    return group->GetObjectCount() > 0 ? group.release() : nullptr;
}

void CDrwSubSheet::GetObjectsValidForLibrary(std::vector<ValidLibraryObject>& list) const {
    list.clear();
    for (const auto& [object, selected] : m_objects) {
        if (object->IsGroup()) {
            const CString* name = object->GetName();
            list.push_back({object.get(), name ? *name : CString()});
        }
    }
}
