#include "platform/ui/COleDataObject.h"

#include <QMimeData>
#include <map>
#include <mutex>
#include <string>

namespace {

// Numbers from 0xC000 up, as registered formats have them.
struct FormatRegistry {
    std::mutex lock;
    std::map<std::string, CLIPFORMAT> numbers;
    std::map<CLIPFORMAT, std::string> names;
};

FormatRegistry& Registry() {
    static FormatRegistry registry;
    return registry;
}

}  // namespace

CLIPFORMAT RegisterClipboardFormatA(const char* name) {
    if (name == nullptr || *name == '\0') {
        return 0;
    }
    FormatRegistry& registry = Registry();
    const std::scoped_lock hold(registry.lock);
    const auto [at, added] = registry.numbers.try_emplace(
        name, static_cast<CLIPFORMAT>(0xC000 + registry.numbers.size()));
    if (added) {
        registry.names.emplace(at->second, name);
    }
    return at->second;
}

CString ClipboardFormatName(CLIPFORMAT format) {
    FormatRegistry& registry = Registry();
    const std::scoped_lock hold(registry.lock);
    const auto at = registry.names.find(format);
    return at == registry.names.end() ? CString() : CString(at->second.c_str());
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    const CString name = ClipboardFormatName(format);
    return m_data != nullptr && !name.IsEmpty() &&
           m_data->hasFormat(QString::fromUtf8(name.GetString()));
}

std::optional<QByteArray> COleDataObject::GetData(CLIPFORMAT format) const {
    if (!IsDataAvailable(format)) {
        return std::nullopt;
    }
    return m_data->data(QString::fromUtf8(ClipboardFormatName(format).GetString()));
}
