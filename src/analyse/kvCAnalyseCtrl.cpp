#include "analyse/kvCAnalyseCtrl.h"

kvCAnalyseCtrl::kvCAnalyseCtrl()
    : minRadiusU(noRadius), minRadiusV(noRadius), maxRadius(-noRadius), radius(noRadius)
{
}
