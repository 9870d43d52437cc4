#include "host/kvTestEntry.h"

#include "ui/atl/dv/ControlFactory.h"
#include "ui/atl/layout/LayoutStateExport.h"

extern "C" const kvTestEntryTable* kvAnalyseTestEntry()
{
    static const kvTestEntryTable table = {
        &kv::ui::atl::dv::ControlFactoryList::instance(),
        &kv::ui::atl::layout::layoutsWithin,
        &kv::ui::atl::layout::layoutDialog,
        &kv::ui::atl::layout::layoutNodes,
        &kv::ui::atl::layout::layoutPersist,
    };
    return &table;
}
