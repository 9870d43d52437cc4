// Helpers shared by the analysis window's own sources; not for other code.
#pragma once

#include "analyse/kvAnalyseTemplates.h"
#include "platform/kvPlatform.h"
#include "sdk/kvDialog.h"

namespace kvAnalyseDlgInternal {

// The module that holds the window's templates and resources.
inline HINSTANCE moduleHandle()
{
    return kvplat::moduleFromAddress(reinterpret_cast<const void*>(&kvRegisterAnalyseTemplates));
}

// A bracket around long work that the document may offer.
class LongOperation {
public:
    explicit LongOperation(const kvIfPtr<kvIBaseDocument1>& doc) : m_doc(doc.get())
    {
        if (!m_doc.isNull())
            m_doc->beginLongOperation();
    }
    ~LongOperation()
    {
        if (!m_doc.isNull())
            m_doc->endLongOperation();
    }

private:
    kvIfPtr<kvIInvDocument1> m_doc;
};

}  // namespace kvAnalyseDlgInternal
