#include "platform/dao/CDaoFieldExchange.h"

#include "platform/dao/CDaoRecordset.h"

const COleVariant& CDaoFieldExchange::Value(const char* column) {
    static const COleVariant kNull = COleVariant::Null();
    const int field = m_nField++;
    return m_nOperation == Load ? m_prs->BoundValue(field, column) : kNull;
}

void CDaoFieldExchange::Record(const char* column, const COleVariant& current) {
    const int field = m_nField++;
    if (m_nOperation == Snapshot) {
        m_prs->RememberField(field, current);
    } else {
        m_prs->CollectField(field, column, current);
    }
}

void DFX_Long(CDaoFieldExchange* pFX, const char* column, long& value, DWORD) {
    if (pFX->IsLoading()) {
        value = static_cast<long>(pFX->Value(column).AsInt64());
    } else {
        pFX->Record(column, COleVariant(static_cast<std::int64_t>(value)));
    }
}

void DFX_Short(CDaoFieldExchange* pFX, const char* column, short& value, DWORD) {
    if (pFX->IsLoading()) {
        value = static_cast<short>(pFX->Value(column).AsInt64());
    } else {
        pFX->Record(column, COleVariant(static_cast<std::int64_t>(value)));
    }
}

void DFX_Byte(CDaoFieldExchange* pFX, const char* column, BYTE& value, DWORD) {
    if (pFX->IsLoading()) {
        value = static_cast<BYTE>(pFX->Value(column).AsInt64());
    } else {
        pFX->Record(column, COleVariant(static_cast<std::int64_t>(value)));
    }
}

void DFX_Bool(CDaoFieldExchange* pFX, const char* column, BOOL& value, DWORD) {
    if (pFX->IsLoading()) {
        value = pFX->Value(column).AsInt64() != 0 ? TRUE : FALSE;
    } else {
        pFX->Record(column, COleVariant(static_cast<std::int64_t>(value ? 1 : 0)));
    }
}

void DFX_Double(CDaoFieldExchange* pFX, const char* column, double& value, DWORD) {
    if (pFX->IsLoading()) {
        value = pFX->Value(column).AsDouble();
    } else {
        pFX->Record(column, COleVariant(value));
    }
}

void DFX_Text(CDaoFieldExchange* pFX, const char* column, CString& value, int, DWORD) {
    if (pFX->IsLoading()) {
        value = pFX->Value(column).AsText();
    } else {
        pFX->Record(column, COleVariant(value));
    }
}

void DFX_Binary(CDaoFieldExchange* pFX, const char* column, CByteArray& value, int, DWORD) {
    if (pFX->IsLoading()) {
        const auto& bytes = pFX->Value(column).AsBytes();
        value.SetSize(static_cast<int>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), value.begin());
    } else {
        pFX->Record(column, COleVariant(std::vector<BYTE>(value.begin(), value.end())));
    }
}
