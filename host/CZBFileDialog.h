#pragma once
// The host's open-file dialog. What it shows is decided by a replaceable presenter: the
// desktop program shows a real dialog, the command line answers Cancel, tests answer from a
// script.

#include <functional>
#include <utility>
#include <vector>

#include "platform/afx/CString.h"

class CZBFileDialog;

// Returns IDOK with the chosen file set through SetPathName, or IDCANCEL.
using FileDialogPresenter = std::function<int(CZBFileDialog& dialog)>;

class CZBFileDialog {
public:
    // `openFile` 1 for an open dialog; `flags` kept for the host's signature.
    CZBFileDialog(int openFile, int flags) : m_bOpenFile(openFile != 0), m_nFlags(flags) {}

    void AddFilter(const char* description, const char* pattern);
    // 1 (IDOK) on OK, otherwise IDCANCEL.
    int DoModal();

    // An open dialog (1 to the constructor) rather than a save dialog; the host's flags.
    bool IsOpenFileDialog() const { return m_bOpenFile; }
    int GetFlags() const { return m_nFlags; }
    CString GetPathName() const { return m_strPathName; }
    void SetPathName(const CString& path) { m_strPathName = path; }
    const std::vector<std::pair<CString, CString>>& Filters() const { return m_filters; }

    CString m_strTitle;
    CString m_strInitialDir;

    // Installs `presenter` (empty: answer Cancel) and returns the previous one.
    static FileDialogPresenter SetPresenter(FileDialogPresenter presenter);

private:
    bool m_bOpenFile;
    int m_nFlags;
    CString m_strPathName;
    std::vector<std::pair<CString, CString>> m_filters;
};
