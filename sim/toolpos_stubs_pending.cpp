// Host answers that the element measurement's simulator work also gives; kept
// here until both meet.
#include "host_objects.h"
#include "text.h"
#include "view.h"

#include <cwchar>

namespace hostsim {

int ResourceManager::getBaseFolder(wchar_t* buffer, int capacity)
{
    if (!buffer || capacity < 1) return -1;
    const std::wstring folder = m_baseFolder.empty() ? fromUtf8(KV_SIM_DATA_DIR "/") : m_baseFolder;
    if (folder.size() + 1 > static_cast<std::size_t>(capacity)) return -1;
    std::wcsncpy(buffer, folder.c_str(), static_cast<std::size_t>(capacity));
    buffer[capacity - 1] = L'\0';
    return 0;
}

RatBSplSurf* FaceLibrary::newRatBSplSurf(kvIUnknown* face)
{
    const SampleFace* f = FaceObject::faceOf(face);
    return f && f->surface ? ratBSplSurfCopy(f->surface) : nullptr;
}

} // namespace hostsim
