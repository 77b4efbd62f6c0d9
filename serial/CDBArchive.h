#pragma once
// An XML archive whose element tree goes into a small database instead of a text: each
// element is a row of "Elements" pointing at its parent's row. Attributes and texts are not
// carried (the "Attributes" table is made, and stays empty).
//
// The element rows nest: opening the database stands the element set on a root row (added
// when the table has none), WriteElementStart adds a row under the current one and makes the
// new row current, and WriteElementEnd goes back to the current row's parent. DAO errors reach
// the caller.

#include "host/CPathString.h"
#include "host/CXMLArchive.h"

class CDaoDatabase;
class CDaoRecordset;
class CDaoWorkspace;

class CDBArchive : public CXMLArchive {
public:
    explicit CDBArchive(const CPathString& path);
    CDBArchive(const CPathString& path, CFile* pFile, bool bCompressed);
    ~CDBArchive() override;

    void SetDBName(CString& strName);
    // Makes the database file with both tables; false when a database is already held or the
    // file did not open.
    bool CreateDB();
    // Opens the file (making it when missing and `bCreate`); false when a database is already
    // held, or the file is missing and not to be made, or it did not open.
    bool OpenDB(bool bCreate);
    // Closes and frees the record sets, the database and the workspace; true when all are gone.
    bool CloseDB();

    void WriteElementStart(const CString& strName) override;
    void WriteElementEnd(const CString& strName) override;
    void WriteAttribute(const CString&, const CString&) override {}
    void WriteAttribute(const CString&, long) override {}
    void WriteAttribute(const CString&, double) override {}
    // Elements become rows only through WriteElementStart, and rows have no layout.
    void PushElement(const CString&) override {}
    void WriteIndentation() override {}
    // Writes nothing.
    bool Write(const CString&) { return false; }

private:
    void OpenRecordSets();

    CPathString* m_pDBName;                    // owned
    CDaoDatabase* m_pDatabase = nullptr;       // owned
    CDaoWorkspace* m_pWorkspace = nullptr;     // owned
    CDaoRecordset* m_pRSElements = nullptr;    // owned
    CDaoRecordset* m_pRSAttributes = nullptr;  // owned
};
