// The colour catalogue of the analysis window: the newest catalogue file of
// the host's "feattech" folder, read at every re-initialisation, and the
// names of colours looked up in it.
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvColorCatalog.h"
#include "sdk/kvFile.h"

#include <fstream>

void kvCAnalyseDlg::loadColorCatalog()
{
    kvIfPtr<kvIApplication1> app = application();
    KV_REQUIRE(!app.isNull(), L"pApp", kvUnitAnalyseUI);
    kvIfPtr<kvIResourceMgr1> resources;
    app->getResourceManager(&resources);
    if (resources.isNull())
        return;
    wchar_t base[2000] = {0};
    if (resources->getBaseFolder(base, 2000) != 0)
        return;
    base[1999] = L'\0';
    std::wstring folder(base);
    folder += L"feattech";

    kvCDirectory directory(folder);
    kvCDirFileIterator files(directory, L"kvColorCatalog*.xml", DI_SYSTEM | DI_HIDDEN);
    kvCFile chosen, file;
    std::uint64_t bestTime = 0;
    bool any = false;
    while (files.next(file)) {
        // Of files changed at the same time the first one found stays.
        if (!any || file.lastModificationTime() > bestTime) {
            chosen = file;
            bestTime = file.lastModificationTime();
            any = true;
        }
    }
    if (!any)
        return;
    std::ifstream in(kvNarrowPath(chosen.path() + chosen.name()), std::ios::binary);
    if (!in)
        return;
    // A reload replaces the catalogue: no entry of an older file stays.
    parseColorCatalog(in, colorCatalog());
}

const wchar_t* kvCAnalyseDlg::colorNameByRgb(int r, int g, int b)
{
    const auto& catalog = colorCatalog();
    for (unsigned int i = 0; i < catalog.size(); ++i) {
        const colorDef& entry = catalog[i];
        if (entry.R == r && entry.G == g && entry.B == b)
            return entry.name.c_str();
    }
    return nullptr;
}
