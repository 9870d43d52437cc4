// The host's property control: shows properties of a property set as lines
// under titled categories. This stand-in keeps categories and lines in the
// order they were added so that a host can print them as the control shows
// them.
#pragma once

#include "host/object/kvIfPtr.h"
#include "host/object/kvPropertyBag.h"
#include "platform/windows.h"
#include "sdk/kvString.h"
#include "sdk/kvValueSets.h"

#include <string>
#include <vector>

class kvCPrPropertySet;

// How a line edits its property (10: a frame reference chooser, 5: a check
// box with a text, 15: a text line, 0: a plain value).
enum ePropCtrlType : int {};

namespace nCads {
enum eGeoAssociateType : int {};
enum eParameterType : int {};
}  // namespace nCads

class kvCTwPropertyCtrlBase {
public:
    struct Line {
        kvCString category;
        kvCString key;
        kvCString text;
        int ctrlType;
        int associateType;
        int parameterType;
        int extra;
        bool flag;
        // What the line's bag says of its look: "UiBoolText" (the text beside
        // a check box) and "UiPropertyType" (a layer or colour chooser).
        kvCString uiText;
        kvCString uiType;
        // Face-set lines: which faces the line's picker offers.
        tw::cfg::SurfaceAttributes surfaceAttributes = {};
    };
    struct Category {
        kvCString name;
        kvCString text;
        bool flag;
        std::vector<Line> lines;
    };

    kvCTwPropertyCtrlBase();
    virtual ~kvCTwPropertyCtrlBase();

    // The control that took the place of a window, or null: how the host
    // reaches the control a user is looking at.
    static kvCTwPropertyCtrlBase* fromWindow(HWND window);

    // The control takes the place (and the id and rectangle) of a placeholder
    // window of the dialog. False for a null or destroyed window.
    bool ReplaceCtrl(HWND placeholder);
    // Adds a line whose look the bag describes; the bag is copied. False when
    // the category does not exist.
    bool addUiProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text, ePropCtrlType type,
                       const kvTPropertyBag<kvCProperty>& bag, bool flag);
    // The control reads the key's value again; false when no line shows it.
    bool onPropertyChanged(const wchar_t* key, bool flag);
    // How often onPropertyChanged was called (what a host observes).
    int propertyChangeCount() const { return m_changes; }

    // Binds the control to a property set and its owner window.
    bool build(kvIfPtr<kvIAppExecContext1> context, kvCPrPropertySet* set, HWND owner, bool flag);
    // Empties the control: no categories, no lines.
    void reInitialize();
    // False when a category of that name exists already.
    bool addCategory(const wchar_t* name, const wchar_t* text, bool flag);
    // False when the category does not exist. A key that the category shows
    // already keeps its place, with the new label and look.
    bool addProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text, ePropCtrlType type,
                     nCads::eGeoAssociateType associate, nCads::eParameterType parameter, int extra, bool flag);
    // A face-set line (a selection of faces); false when the category does
    // not exist.
    bool addSrfSetProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text, ePropCtrlType type,
                           tw::cfg::SurfaceAttributes attributes, bool flag);

    // What a host observes.
    HWND propertyCtrlWindow() const { return m_window; }
    kvCPrPropertySet* propertySet() const { return m_set; }
    const std::vector<Category>& categories() const { return m_categories; }
    const Category* findCategory(const wchar_t* name) const;
    // The control as a user reads it: one "[title]" line per category and one
    // "  text: value" line per property, in order; a check box reads
    // "  text: [x] its text" or "  text: [ ] its text".
    std::vector<std::wstring> displayLines() const;
    // The value of a property as the control shows it ("" when missing).
    std::wstring valueText(const wchar_t* key) const;
    // The user types text into a property's line: it is read as the type the
    // property holds (a finite number in the type's range, "true"/"false", or
    // text) and written into the set. False, the property unchanged, for a
    // key the set does not hold, a text that does not fit the type, a value
    // the property's restriction forbids, a read-only line, or a control
    // without a set.
    bool setValueText(const wchar_t* key, const wchar_t* text);

private:
    Category* findCategoryForEdit(const wchar_t* name);
    static void placeLine(Category& category, const Line& line);

    HWND m_window = nullptr;
    HWND m_owner = nullptr;
    kvCPrPropertySet* m_set = nullptr;
    kvIfPtr<kvIAppExecContext1> m_context;
    std::vector<Category> m_categories;
    int m_changes = 0;
};
