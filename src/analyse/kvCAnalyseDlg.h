// The modeless analysis window that the command "analyse" opens on a document.
#pragma once

#include "sdk/kvDialog.h"

class kvITarnwellModel1;
class kvITwCycleJobDef1;

class kvCAnalyseDlg : public kvCDialog {
public:
    enum { IDD = 24171 };

    // Builds the window object only; the window itself comes with
    // openAnalysisDialog. Holds one module lock while it exists.
    explicit kvCAnalyseDlg(CWnd* parent = nullptr);
    ~kvCAnalyseDlg() override;

    // Creates the window as a child of parent. first is the first parameter of
    // the start (a job definition) or empty.
    int openAnalysisDialog(CWnd* parent, kvIUnknownPtr first);
    // Brings an open window up to date after the command ran again.
    void reactivateAnalysisDialog(kvIUnknownPtr first);
    void setModel(kvITarnwellModel1* model);

    // What a host observes.
    int currentMode() const { return mode; }
    bool isOpened() const { return opened; }
    bool hasJobDefinition() const { return !jobDef.isNull(); }
    kvITarnwellModel1* heldModel() const { return model.getIf(); }

protected:
    void unregisterFromDocument();

    bool opened = false;
    int mode = 1;
    kvIfPtr<kvITwCycleJobDef1> jobDef;
    kvIfPtr<kvITarnwellModel1> model;
};
