#pragma once
// The session that databases are opened in. Closing it closes the databases still open on it,
// as DAO does.

#include <set>

#include "platform/afx/CObject.h"
#include "platform/afx/CString.h"

class CDaoDatabase;

class CDaoWorkspace : public CObject {
public:
    CDaoWorkspace() = default;
    ~CDaoWorkspace() override;
    CDaoWorkspace(const CDaoWorkspace&) = delete;
    CDaoWorkspace& operator=(const CDaoWorkspace&) = delete;

    // Opens the default workspace; `name` is kept for GetName.
    void Open(const char* name = nullptr);
    void Close();
    bool IsOpen() const { return m_bOpen; }
    CString GetName() const { return m_strName; }

private:
    friend class CDaoDatabase;
    // Databases register while open, so that Close can close them. Not owned.
    void Attach(CDaoDatabase* database) { m_databases.insert(database); }
    void Detach(CDaoDatabase* database) { m_databases.erase(database); }

    bool m_bOpen = false;
    CString m_strName;
    std::set<CDaoDatabase*> m_databases;
};
