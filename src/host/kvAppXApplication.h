// The module-global application pointer, the folder of the module's own file
// and the choice of the language resource file.
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvInterfaces.h"
#include "sdk/kvString.h"

#include <vector>

// Replaces the module-global application (null clears it); true when one is
// now held. The new pointer gains its reference before the old one loses
// its own, so setting the same application again is safe.
bool setAppXApplication(kvIApplication1* application);
// Releases and clears the module-global application; always true.
bool releaseAppXApplication();
// The application with one reference added. Without one the module cannot
// go on: a fatal message is shown and the process ends with exit code 1.
kvIfPtr<kvIApplication1> getAppXApplication();
// The application's resource manager; ends the process like
// getAppXApplication when there is none.
kvIfPtr<kvIResourceMgr1> getAppXResourceManager();

// The folder of the module's file with its trailing separator, in a buffer of
// capacity characters (always terminated). False when the result is empty or
// there is no room even for the terminator.
bool getApplicationPath(wchar_t* buffer, unsigned int capacity);

// The language resource file for a language name as the host reports it;
// unknown names (and the empty one) give "kvLibRes_en.loc".
const wchar_t* kvLanguageResourceFile(const kvCString& languageName);

// Loads the language resource file for the host's language through its
// resource manager and adds it to the window-class library's modules searched
// for string resources, so that strings loaded by id come in that language.
// False when the object is not a resource manager or the English file cannot
// be loaded.
bool loadLanguageResources(kvIUnknown* resourceManager);

// The modules in which the window-class library looks up string resources
// (ATL::AtlLoadString), in the order they were added.
std::vector<HMODULE> kvStringResourceModules();
