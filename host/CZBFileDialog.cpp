#include "host/CZBFileDialog.h"

namespace {

FileDialogPresenter& Presenter() {
    static FileDialogPresenter presenter;
    return presenter;
}

}  // namespace

void CZBFileDialog::AddFilter(const char* description, const char* pattern) {
    m_filters.emplace_back(description, pattern);
}

int CZBFileDialog::DoModal() {
    const FileDialogPresenter presenter = Presenter();
    return presenter ? presenter(*this) : IDCANCEL;
}

FileDialogPresenter CZBFileDialog::SetPresenter(FileDialogPresenter presenter) {
    return std::exchange(Presenter(), std::move(presenter));
}
