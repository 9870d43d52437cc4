// The base of the property grid's in-place editors: a message map that the
// window observers feed with the messages of the windows an editor made, and
// the library's reference count.
#pragma once

#include "platform/atl.h"
#include "ui/atl/RefCountedObj.h"

namespace kv {
namespace ui {
namespace atl {
namespace ipe {

class Editor : public RefCountedObj, public ATL::CMessageMap {
public:
    // mapId tells which observed window the message came from.
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override = 0;

protected:
    ~Editor() override = default;
};

} // namespace ipe
} // namespace atl
} // namespace ui
} // namespace kv
