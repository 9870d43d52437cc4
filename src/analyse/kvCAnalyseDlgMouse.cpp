// The analysis window's connection to the document's mouse events: the
// reactor it installs and the picks and moves the reactor hands back.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvAnalyseException.h"

#include "analyse/kvCAnalyseDlgInternal.h"
#include "analyse/kvCMouseReactor.h"


// ---------------------------------------------------------------- mouse

void kvCAnalyseDlg::installMouseReactor(kvCGeMatrix frame)
{
    if (!mouseEvents.isNull() && reactor)
        return;
    kvIfPtr<kvIMouseEvents1> events(m_pBaseDoc.get());
    if (events.isNull())
        return;
    mouseEvents = events;
    if (!reactor) {
        reactor = new kvCMouseReactor();
        reactor->addRef();
        reactor->setPickFilter(false, false, false, true);
        reactor->setCallbacks(&kvCAnalyseDlg::onMousePick, &kvCAnalyseDlg::onMouseMove, frame, this);
    }
    mouseEvents->addReactor(reactor);
}

void kvCAnalyseDlg::disconnectMouseReactor()
{
    try {
        if (!mouseEvents.isNull() && reactor)
            mouseEvents->removeReactor(reactor);
        mouseEvents.detach();
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(15)");
    }
    // The window's own reference goes with the connection.
    if (reactor) {
        kvCMouseReactor* r = reactor;
        reactor = nullptr;
        r->release();
    }
}

void kvCAnalyseDlg::setMouseReactorMatrix(kvCGeMatrix frame)
{
    if (reactor)
        reactor->setMatrix(frame);
}

void kvCAnalyseDlg::onMousePick(void* userData, const double* point, const double* position2d, int onObject,
                                const double* normal, kvIUnknown* hitObject, const double* viewDirection, bool flag)
{
    kvCAnalyseDlg* self = static_cast<kvCAnalyseDlg*>(userData);
    if (!self || !point || !position2d)
        return;
    PickRecord& r = self->pickRecord;
    ++r.count;
    r.point = kvCGePoint(point);
    r.position2d[0] = position2d[0];
    r.position2d[1] = position2d[1];
    r.onObject = onObject;
    r.hasNormal = normal != nullptr;
    r.normal = normal ? kvCGeVector(normal) : kvCGeVector();
    self->analyseElementAtPick(point, position2d, onObject != 0, normal, hitObject, viewDirection, flag);
}

void kvCAnalyseDlg::onMouseMove(void* userData, double x, double y)
{
    kvCAnalyseDlg* self = static_cast<kvCAnalyseDlg*>(userData);
    if (!self)
        return;
    ++self->pickRecord.moves;
    self->pickRecord.movePosition[0] = x;
    self->pickRecord.movePosition[1] = y;
    self->forwardMouseMove(x, y);
}
