#include "analyse/kvMultiFaceSupport.h"

#include "analyse/kvMultiFaceTemplates.h"
#include "platform/kvPlatform.h"


kvLongOperation::kvLongOperation(kvIAppExecContext1* context)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    if (!context)
        return;
    kvIUnknownPtr base;
    context->getBaseDocument(&base);
    m_doc = base.get();
    if (!m_doc.isNull())
        m_doc->beginLongOperation();
}

kvLongOperation::~kvLongOperation()
{
    if (!m_doc.isNull())
        m_doc->endLongOperation();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

HINSTANCE kvMultiFaceModule()
{
    return kvplat::moduleFromAddress(reinterpret_cast<const void*>(&kvRegisterMultiFaceTemplates));
}

void kvIdentifyPanel(HWND panel, UINT templateId)
{
    if (panel && ::IsWindow(panel))
        ::SetWindowLongPtrW(panel, GWLP_ID, static_cast<LONG_PTR>(templateId));
}
