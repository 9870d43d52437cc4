#include "analyse/kvCAnalyseDlg.h"

#include "host/kvExports.h"

kvCAnalyseDlg::kvCAnalyseDlg(CWnd* parent) : kvCDialog(IDD, parent)
{
    lockModule();
}

kvCAnalyseDlg::~kvCAnalyseDlg()
{
    unlockModule();
    // Whatever path ends the window, the document must not keep a pointer to it.
    try {
        unregisterFromDocument();
    } catch (...) {
    }
}

void kvCAnalyseDlg::unregisterFromDocument()
{
    if (mpExecContext.isNull())
        return;
    kvIfPtr<kvIAppDocument1> appDoc;
    mpExecContext->getAppDocument(&appDoc);
    if (!appDoc.isNull())
        appDoc->unregisterWindow(this);
}

void kvCAnalyseDlg::setModel(kvITarnwellModel1* pModel)
{
    model = pModel;
}

int kvCAnalyseDlg::openAnalysisDialog(CWnd* parent, kvIUnknownPtr first)
{
    jobDef = first.get();
    opened = false;
    if (!jobDef.isNull())
        mode = 5;
    const BOOL created = Create(IDD, parent);
    opened = true;
    return created;
}

void kvCAnalyseDlg::reactivateAnalysisDialog(kvIUnknownPtr first)
{
    jobDef = first.get();
    if (!jobDef.isNull())
        mode = 5;
    opened = true;
}
