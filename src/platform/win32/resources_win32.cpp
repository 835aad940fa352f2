// The icon strips are RCDATA resources of the executable (moxia.rc).
#include <windows.h>

#include "platform/resources.h"
#include "platform/win32/resource_ids.h"

namespace platform {

std::string IconStripBytes(IconStrip strip) {
    const int id = strip == IconStrip::Large   ? MOXIA_RES_ICONS_LARGE
                   : strip == IconStrip::Small ? MOXIA_RES_ICONS_SMALL
                                               : MOXIA_RES_ICONS_EXTRA_LARGE;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (resource == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return std::string(static_cast<const char*>(bytes), size);
}

}  // namespace platform
