// The one way the analysis window's panels tell the user that an operation
// failed: the caught exception's fixed text in the application's message box.
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvInterfaces.h"

// Shows text (kind 3, flags 16) through app; nothing without an application
// or a text. A message box that fails is swallowed: it must not replace the
// exception being reported.
void kvShowAnalyseException(const kvIfPtr<kvIApplication1>& app, const wchar_t* text);

// The same through the application of the context; nothing without one.
void kvShowAnalyseException(kvIAppExecContext1* context, const wchar_t* text);
