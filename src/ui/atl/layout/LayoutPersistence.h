// Saving and restoring a layout tree's placement in the registry: each node's
// current rectangle and factor, and the column widths of list controls. The
// archive walks a key path down and up as the nodes recurse; in tree mode
// every node keeps its values and its children go into numbered sub-keys
// ("Node 0", "Node 1", ...), in controls-only mode only the list controls keep
// their columns, each in a sub-key "Ctrl <id>".
#pragma once

#include "ui/atl/layout/LayoutNode.h"

#include <string>

namespace kv {
namespace ui {
namespace atl {
namespace layout {

class RegistryArchive {
public:
    // parentKey is referenced, not copied: a null handle makes every access fail.
    RegistryArchive(HKEY& parentKey, const std::wstring& path, bool writing, bool controlsOnly);
    ~RegistryArchive();
    RegistryArchive(const RegistryArchive&) = delete;
    RegistryArchive& operator=(const RegistryArchive&) = delete;

    // Opens the key of the current path (created when writing); true at once
    // when it is open already.
    bool open();
    bool writeDword(const wchar_t* name, DWORD value);
    // True only for a REG_DWORD value; anything else counts as missing.
    bool readDword(const wchar_t* name, DWORD& value);
    // Down into the sub-key name / back up one level; both close the open key.
    bool pushKey(const wchar_t* name);
    bool popKey();

    const std::wstring& path() const { return m_path; }
    bool writing() const { return m_writing; }
    bool controlsOnly() const { return m_controlsOnly; }

private:
    void close();

    HKEY& m_parentKey;
    std::wstring m_path;
    bool m_writing;
    bool m_controlsOnly;
    HKEY m_key;
};

// Pushes a key for a scope and pops it on every way out.
class ArchiveKeyScope {
public:
    ArchiveKeyScope(RegistryArchive& archive, const wchar_t* name) : m_archive(archive), m_pushed(archive.pushKey(name)) {}
    ~ArchiveKeyScope()
    {
        if (m_pushed)
            m_archive.popKey();
    }
    ArchiveKeyScope(const ArchiveKeyScope&) = delete;
    ArchiveKeyScope& operator=(const ArchiveKeyScope&) = delete;
    bool pushed() const { return m_pushed; }

private:
    RegistryArchive& m_archive;
    bool m_pushed;
};

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
