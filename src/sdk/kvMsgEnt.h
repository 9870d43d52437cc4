// Message entries: a text given as text file, key and default text joined by
// "|" (for example "twUiCyc.loc|AnaRad|Radius analyse"), resolved in the
// user's language through the host's resource manager when it offers language
// texts (kvITextLookup1), otherwise shown as its default text.
#pragma once

#include "sdk/kvInterfaces.h"
#include "sdk/kvResourceCntxt.h"
#include "sdk/kvString.h"

class kvCMsgEnt {
public:
    explicit kvCMsgEnt(const wchar_t* text);

    // The text to show: the host's text for file and key when it has one, else
    // the default text (everything after the second "|"). A text without two
    // "|" is not a key and is shown as it stands.
    kvCString getEntry(kvIApplication1* application) const;

    const kvCString& file() const { return m_file; }
    const kvCString& key() const { return m_key; }
    const kvCString& defaultText() const { return m_default; }
    bool isKey() const { return m_isKey; }

private:
    kvCString m_file;
    kvCString m_key;
    kvCString m_default;
    bool m_isKey = false;
};
