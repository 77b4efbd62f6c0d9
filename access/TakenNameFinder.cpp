#include "access/TakenNameFinder.h"

#include "access/CMSAccessDBHandler.h"
#include "access/PartListing.h"
#include "platform/afx/UnicodeCase.h"
#include "platform/dao/CDaoRecordset.h"

using vaultry::text::FoldedKey;

TakenNameFinder::TakenNameFinder(CMSAccessDBHandler& library)
    : m_library(library),
      m_parts(
          static_cast<long>(library.QueryValue("SELECT Count(*) FROM tObjects", {}).AsInt64())) {}

std::vector<CString> TakenNameFinder::Taken(const std::vector<CString>& names) {
    m_asked += static_cast<long>(names.size());
    if (!m_all && m_asked * kAskedPerRead > m_parts) {
        m_all.emplace();
        CDaoRecordset rows(&m_library);
        rows.Open(dbOpenForwardOnly, "SELECT strObjectName FROM tObjects");
        for (; !rows.IsEOF(); rows.MoveNext()) {
            m_all->insert(FoldedKey(rows.GetFieldValue(0).AsText().str()));
        }
        rows.Close();
    }
    std::unordered_set<std::string> asked;
    if (!m_all) {
        for (const CString& name : TakenNames(m_library, names)) {
            asked.insert(FoldedKey(name.str()));
        }
    }
    const std::unordered_set<std::string>& known = m_all ? *m_all : asked;
    std::vector<CString> taken;
    for (const CString& name : names) {
        if (known.count(FoldedKey(name.str())) > 0) {
            taken.push_back(name);
        }
    }
    return taken;
}
