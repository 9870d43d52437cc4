#include "ui/atl/layout/LayoutPersistence.h"

#include <cstdio>
#include <cwchar>
#include <memory>
#include <utility>
#include <vector>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

namespace {

const DWORD kKeyRead = KEY_READ;
const DWORD kKeyWrite = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const DWORD kMaxColumnWidth = 10000;
// Window positions and sizes travel in 16-bit message words (WM_MOVE, WM_SIZE):
// no window's side lies farther out.
const LONG kWindowCoordinateLimit = 32767;

// Whether a rectangle read from the registry, which is outside data, can be a
// window's: sides in order and within reach, so that the layout's sums of
// sides and distances stay in range.
bool canBeWindowRect(const RECT& r)
{
    for (LONG side : {r.left, r.top, r.right, r.bottom})
        if (side < -kWindowCoordinateLimit - 1 || side > kWindowCoordinateLimit)
            return false;
    return r.left <= r.right && r.top <= r.bottom;
}

std::wstring numbered(const wchar_t* format, unsigned long i)
{
    wchar_t buffer[32];
    std::swprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, i);
    return buffer;
}

// Whether a walk over the children ends at the first child that fails.
enum class AfterAFailure { stop, goOn };

// Runs step on each child, each in its own key "Node <i>" under the node's,
// except in a controls-only archive, where the children share the caller's
// key; loading and saving must agree on it. True when every step succeeded.
template <class Step>
bool eachChildInItsKey(RegistryArchive& archive, const std::vector<NodePtr>& children, AfterAFailure after,
                       Step step)
{
    bool all = true;
    for (size_t i = 0; i < children.size(); ++i) {
        bool done;
        if (archive.controlsOnly()) {
            done = step(*children[i]);
        } else {
            ArchiveKeyScope key(archive, numbered(L"Node %lu", static_cast<unsigned long>(i)).c_str());
            done = step(*children[i]);
        }
        if (!done) {
            all = false;
            if (after == AfterAFailure::stop)
                return false;
        }
    }
    return all;
}

// Named values, in the order they are written.
using NamedValues = std::vector<std::pair<std::wstring, DWORD>>;

// Writes each value, whatever became of the ones before; true when none was
// refused.
bool writeEvery(RegistryArchive& archive, const NamedValues& values)
{
    bool all = true;
    for (const auto& value : values)
        all = archive.writeDword(value.first.c_str(), value.second) && all;
    return all;
}

// Writes the values in order up to the first that is refused; true when
// none was.
bool writeUntilRefused(RegistryArchive& archive, const NamedValues& values)
{
    for (const auto& value : values)
        if (!archive.writeDword(value.first.c_str(), value.second))
            return false;
    return true;
}

} // namespace

// ---------------------------------------------------------------- archive

RegistryArchive::RegistryArchive(HKEY& parentKey, const std::wstring& path, bool writing, bool controlsOnly)
    : m_parentKey(parentKey), m_path(path), m_writing(writing), m_controlsOnly(controlsOnly), m_key(nullptr)
{
}

RegistryArchive::~RegistryArchive() { close(); }

void RegistryArchive::close()
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

bool RegistryArchive::open()
{
    if (m_key)
        return true;
    if (!m_parentKey)
        return false;
    HKEY key = nullptr;
    LSTATUS status;
    if (m_writing)
        status = RegCreateKeyExW(m_parentKey, m_path.c_str(), 0, nullptr, 0, kKeyWrite, nullptr, &key, nullptr);
    else
        status = RegOpenKeyExW(m_parentKey, m_path.c_str(), 0, kKeyRead, &key);
    if (status != ERROR_SUCCESS || !key)
        return false;
    close();
    m_key = key;
    return true;
}

bool RegistryArchive::writeDword(const wchar_t* name, DWORD value)
{
    if (!open())
        return false;
    return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool RegistryArchive::readDword(const wchar_t* name, DWORD& value)
{
    if (!open())
        return false;
    DWORD type = REG_NONE;
    DWORD read = 0;
    DWORD size = sizeof(read);
    LSTATUS status = RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&read), &size);
    if (status == ERROR_SUCCESS && type != REG_DWORD)
        status = 13;  // ERROR_INVALID_DATA
    if (status != ERROR_SUCCESS || size != sizeof(read))
        return false;
    value = read;
    return true;
}

bool RegistryArchive::pushKey(const wchar_t* name)
{
    if (!name)
        return false;
    if (!m_path.empty())
        m_path += L"\\";
    m_path += name;
    close();
    return true;
}

bool RegistryArchive::popKey()
{
    if (m_path.empty())
        return false;
    const size_t cut = m_path.rfind(L'\\');
    m_path.erase(cut == std::wstring::npos ? 0 : cut);
    close();
    return true;
}

// ---------------------------------------------------------------- nodes

bool Node::loadState(RegistryArchive& archive)
{
    if (!archive.controlsOnly()) {
        DWORD id = 0, flags = 0;
        if (!archive.readDword(L"id", id) || !archive.readDword(L"flags", flags) ||
            static_cast<int>(id) != m_stateId || flags != m_flags)
            return false;
        DWORD top, left, bottom, right, factor;
        if (!archive.readDword(L"top", top) || !archive.readDword(L"left", left) ||
            !archive.readDword(L"bottom", bottom) || !archive.readDword(L"right", right) ||
            !archive.readDword(L"factor", factor) || factor > wholeFactor)
            return false;
        const RECT stored{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                          static_cast<LONG>(bottom)};
        if (!canBeWindowRect(stored) || stored.bottom - stored.top < m_reference.bottom - m_reference.top ||
            stored.right - stored.left < m_reference.right - m_reference.left)
            return false;
        m_current = stored;
        m_factor = factor;
    }
    if (!eachChildInItsKey(archive, m_children, AfterAFailure::stop,
                           [&archive](Node& child) { return child.loadState(archive); }))
        return false;
    const std::uint32_t sizing = sizingFlag();
    bool anySizing = false;
    std::uint32_t sum = 0;
    for (const NodePtr& child : m_children) {
        if (!(child->flags() & sizing))
            continue;
        if (!(child->flags() & notCounted))
            anySizing = true;
        sum += child->factor();
    }
    return !sizing || !anySizing || sum == wholeFactor;
}

// A refused node value ends nothing: every value and every child is written,
// so that no part of the stored layout stays absent or stale behind the
// refusal; the result still tells that something was refused. (A list's
// column state is the exception: see ListCtrlNode::saveState.)
bool Node::saveState(RegistryArchive& archive)
{
    bool saved = true;
    if (!archive.controlsOnly())
        saved = writeEvery(archive, {{L"id", static_cast<DWORD>(m_stateId)},
                                     {L"flags", m_flags},
                                     {L"top", static_cast<DWORD>(m_current.top)},
                                     {L"left", static_cast<DWORD>(m_current.left)},
                                     {L"bottom", static_cast<DWORD>(m_current.bottom)},
                                     {L"right", static_cast<DWORD>(m_current.right)},
                                     {L"factor", m_factor}});
    const bool children = eachChildInItsKey(archive, m_children, AfterAFailure::goOn,
                                            [&archive](Node& child) { return child.saveState(archive); });
    return saved && children;
}

bool ListCtrlNode::loadState(RegistryArchive& archive)
{
    if (!Node::loadState(archive))
        return false;
    if (flags() & keepClipChildren)
        return true;
    std::unique_ptr<ArchiveKeyScope> key;
    if (archive.controlsOnly())
        key.reset(new ArchiveKeyScope(archive, numbered(L"Ctrl %u", static_cast<unsigned>(stateId())).c_str()));
    DWORD count = 0, fit = 0;
    if (!archive.readDword(L"column_count", count))
        return false;
    if (!archive.readDword(L"fit", fit))
        fit = 0;
    syncColumns();
    if (count == m_columns.size()) {
        for (size_t i = 0; i < m_columns.size(); ++i) {
            DWORD width = 0;
            if (!archive.readDword(numbered(L"col_%lu", static_cast<unsigned long>(i)).c_str(), width) ||
                width >= kMaxColumnWidth)
                continue;
            m_columns[i].width = static_cast<int>(width);
            m_columns[i].weight = static_cast<int>(width);
            SendMessageW(window(), LVM_SETCOLUMNWIDTH, i, MAKELPARAM(static_cast<int>(width), 0));
        }
    }
    if (fit) {
        const int before = clientWidth();
        fitColumns(before);
        const int after = clientWidth();
        if (after > before)  // a scroll bar went away
            fitColumns(after);
    }
    return true;
}

bool ListCtrlNode::saveState(RegistryArchive& archive)
{
    const bool node = Node::saveState(archive);
    if (flags() & keepClipChildren)
        return node;
    std::unique_ptr<ArchiveKeyScope> key;
    if (archive.controlsOnly())
        key.reset(new ArchiveKeyScope(archive, numbered(L"Ctrl %u", static_cast<unsigned>(stateId())).c_str()));
    const bool fitted = isFitted();
    NamedValues values{{L"column_count", static_cast<DWORD>(m_columns.size())}, {L"fit", fitted ? 1u : 0u}};
    for (size_t i = 0; i < m_columns.size(); ++i)
        values.emplace_back(numbered(L"col_%lu", static_cast<unsigned long>(i)),
                            static_cast<DWORD>(m_columns[i].width));
    // Column state is a whole: a refusal ends this node's save there. In a
    // controls-only walk the key scope is left on the way out all the same,
    // or the next list's columns would go into a sub-key of this one's and
    // the walk would end off its start path.
    if (!writeUntilRefused(archive, values))
        return false;
    return node;
}

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
