#include "sdk/kvMsgEnt.h"

#include "host/object/kvIfPtr.h"
#include "platform/afx.h"

#include <string>
#include <vector>

kvCMsgEnt::kvCMsgEnt(const wchar_t* text)
{
    const std::wstring all = text ? text : L"";
    const size_t first = all.find(L'|');
    const size_t second = first == std::wstring::npos ? std::wstring::npos : all.find(L'|', first + 1);
    if (second == std::wstring::npos) {
        m_default = all;
        return;
    }
    m_isKey = true;
    m_file = all.substr(0, first);
    m_key = all.substr(first + 1, second - first - 1);
    m_default = all.substr(second + 1);
}

kvCString kvCMsgEnt::getEntry(kvIApplication1* application) const
{
    if (!m_isKey || !application)
        return m_default;
    kvIfPtr<kvIResourceMgr1> manager;
    application->getResourceManager(&manager);
    kvIfPtr<kvITextLookup1> texts(manager);
    if (texts.isNull())
        return m_default;
    std::vector<wchar_t> buffer(4096, L'\0');
    const int capacity = static_cast<int>(buffer.size());
    if (texts->lookupText(m_file, m_key, buffer.data(), capacity) != 0)
        return m_default;
    buffer[buffer.size() - 1] = L'\0';
    return kvCString(buffer.data());
}

kvCResourceCntxt::kvCResourceCntxt(HINSTANCE module) : m_previous(AfxGetResourceHandle())
{
    AfxSetResourceHandle(module);
}

kvCResourceCntxt::~kvCResourceCntxt()
{
    AfxSetResourceHandle(m_previous);
}
