#include "config/ShellFolders.h"

#include "framework/ComApartment.h"
#include "framework/Handles.h"

namespace config {

namespace {

// The shell hands out item lists allocated with the task allocator.
using ItemIdList = fw::CoTaskMemory<ITEMIDLIST>;

} // namespace

std::optional<std::string> pathOfItem(LPCITEMIDLIST item) {
    char path[MAX_PATH] = {};
    if (!item || !SHGetPathFromIDListA(item, path))
        return std::nullopt;
    return std::string(path);
}

std::optional<std::string> FindSpecialFolder(HWND owner, int csidl) {
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &raw)) || !raw)
        return std::nullopt;
    ItemIdList item(raw);
    return pathOfItem(item.get());
}

std::optional<std::string> browseForFolder(HWND owner, const char* title, BFFCALLBACK callback, LPARAM data) {
    // The browser wants COM on the calling thread for as long as it runs.
    fw::ComApartment apartment;
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = callback;
    info.lParam = data;
    ItemIdList item(SHBrowseForFolderA(&info));
    if (!item)
        return std::nullopt;
    return pathOfItem(item.get());
}

} // namespace config
