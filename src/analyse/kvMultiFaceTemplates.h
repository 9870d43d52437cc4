// Dialog templates of the multi-face panel and of its radius and plane lists.
#pragma once

enum {
    kvIDD_MULTIFACEPANEL = 24051,  // the panel of modes 3 and 4
    kvIDD_MULTISELLIST = 24174,    // the radius list and the plane list
};

// Controls of the panel and the lists.
enum {
    kvIDC_PANEL_BORDER = 1367,
    kvIDC_PANEL_LISTPLACE = 1069,
    kvIDC_PANEL_PROPERTIES = 1070,
    kvIDC_LIST_GROUPS = 24394,
    kvIDC_LIST_NAVIGATOR = 1078,
    kvIDC_LIST_PREVIOUS = 1059,
    kvIDC_LIST_POSITION = 1076,
    kvIDC_LIST_NEXT = 1061,
    kvIDC_LIST_ELEMENTS = 1079,
};

// Registers the templates that are not registered yet.
void kvRegisterMultiFaceTemplates();
