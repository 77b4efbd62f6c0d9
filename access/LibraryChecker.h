#pragma once
// Looks for damage in a library: the file's own integrity, parts whose category, object type
// or data is missing, categories that do not reach the one top category level by level or share
// their name with a sibling, parts
// whose data does not decode, parts of one document type that share a name, and object type
// rows that repeat one another.

#include <string>
#include <vector>

class CMSAccessDBHandler;

class LibraryChecker {
public:
    // `library` (open) is not owned.
    explicit LibraryChecker(CMSAccessDBHandler& library) : m_library(library) {}

    // One line per finding ("part 12 \"R1\": its category is missing"); empty for a sound
    // library. A library that cannot be read gives the reason as a finding.
    std::vector<std::string> Findings();

private:
    void CheckIntegrity(std::vector<std::string>& findings);
    void CheckFileSize(std::vector<std::string>& findings);
    long PragmaNumber(const char* name);
    void CheckPartRows(std::vector<std::string>& findings);
    void CheckTree(std::vector<std::string>& findings);
    void CheckPartData(std::vector<std::string>& findings);
    void CheckNamesPerDocType(std::vector<std::string>& findings);
    void CheckTypeRows(std::vector<std::string>& findings);

    CMSAccessDBHandler& m_library;
};
