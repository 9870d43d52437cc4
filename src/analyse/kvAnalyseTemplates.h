// The dialog templates of the analysis window and its panels.
#pragma once

enum {
    kvIDD_ANALYSE = 24171,     // the analysis window
    kvIDD_FACEPANEL = 24172,   // the single-face panel (and the tool-position page)
};

// Registers the templates that are not registered yet.
void kvRegisterAnalyseTemplates();
