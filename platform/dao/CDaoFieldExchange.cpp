#include "platform/dao/CDaoFieldExchange.h"

#include "platform/dao/CDaoRecordset.h"

void CDaoFieldExchange::Exchange(const char* column, const COleVariant& current,
                                 const std::function<void(const COleVariant&)>& assign) {
    const int field = m_nField++;
    switch (m_nOperation) {
        case Load:
            assign(m_prs->BoundValue(field, column));
            break;
        case Snapshot:
            m_prs->RememberField(field, current);
            break;
        case CollectChanges:
            m_prs->CollectField(field, column, current);
            break;
        case SetDefaults:
            assign(COleVariant::Null());
            break;
    }
}

void DFX_Long(CDaoFieldExchange* pFX, const char* column, long& value, DWORD) {
    pFX->Exchange(column, COleVariant(static_cast<std::int64_t>(value)),
                  [&](const COleVariant& v) { value = static_cast<long>(v.AsInt64()); });
}

void DFX_Short(CDaoFieldExchange* pFX, const char* column, short& value, DWORD) {
    pFX->Exchange(column, COleVariant(static_cast<std::int64_t>(value)),
                  [&](const COleVariant& v) { value = static_cast<short>(v.AsInt64()); });
}

void DFX_Byte(CDaoFieldExchange* pFX, const char* column, BYTE& value, DWORD) {
    pFX->Exchange(column, COleVariant(static_cast<std::int64_t>(value)),
                  [&](const COleVariant& v) { value = static_cast<BYTE>(v.AsInt64()); });
}

void DFX_Bool(CDaoFieldExchange* pFX, const char* column, BOOL& value, DWORD) {
    pFX->Exchange(column, COleVariant(static_cast<std::int64_t>(value ? 1 : 0)),
                  [&](const COleVariant& v) { value = v.AsInt64() != 0 ? TRUE : FALSE; });
}

void DFX_Double(CDaoFieldExchange* pFX, const char* column, double& value, DWORD) {
    pFX->Exchange(column, COleVariant(value), [&](const COleVariant& v) { value = v.AsDouble(); });
}

void DFX_Text(CDaoFieldExchange* pFX, const char* column, CString& value, int, DWORD) {
    pFX->Exchange(column, COleVariant(value), [&](const COleVariant& v) { value = v.AsText(); });
}

void DFX_Binary(CDaoFieldExchange* pFX, const char* column, CByteArray& value, int, DWORD) {
    // Only a snapshot or a change report needs the bytes as a value; a load replaces them.
    COleVariant current;
    if (pFX->m_nOperation == CDaoFieldExchange::Snapshot ||
        pFX->m_nOperation == CDaoFieldExchange::CollectChanges) {
        current = COleVariant(std::vector<BYTE>(value.begin(), value.end()));
    }
    pFX->Exchange(column, current, [&](const COleVariant& v) {
        const auto& bytes = v.AsBytes();
        value.SetSize(static_cast<int>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), value.begin());
    });
}
