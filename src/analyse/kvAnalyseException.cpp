#include "analyse/kvAnalyseException.h"

void kvShowAnalyseException(const kvIfPtr<kvIApplication1>& app, const wchar_t* text)
{
    if (app.isNull() || !text)
        return;
    try {
        app->messageBox(3, text, 16);
    } catch (...) {
        // A message that cannot be shown must not replace the one being handled.
    }
}

void kvShowAnalyseException(kvIAppExecContext1* context, const wchar_t* text)
{
    if (!context || !text)
        return;
    try {
        kvIfPtr<kvIApplication1> app;
        context->getApplication(&app);
        kvShowAnalyseException(app, text);
    } catch (...) {
        // As above: the application may fail to be handed out as well.
    }
}
