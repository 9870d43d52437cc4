// The maker's file library: the files of a folder that match a pattern, with
// their folder, name and time of last change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Attribute flags of a directory walk: which special files are included.
enum : unsigned int { DI_SYSTEM = 0x4, DI_HIDDEN = 0x2 };

class kvCFile {
public:
    kvCFile() = default;
    kvCFile(std::wstring folder, std::wstring name, std::uint64_t modified)
        : m_path(std::move(folder)), m_name(std::move(name)), m_modified(modified)
    {
    }
    // The folder, ending in a path separator.
    const std::wstring& path() const { return m_path; }
    const std::wstring& name() const { return m_name; }
    // Later changes give larger values.
    std::uint64_t lastModificationTime() const { return m_modified; }

private:
    std::wstring m_path;
    std::wstring m_name;
    std::uint64_t m_modified = 0;
};

class kvCDirectory {
public:
    explicit kvCDirectory(const std::wstring& folder) : m_folder(folder) {}
    const std::wstring& folder() const { return m_folder; }

private:
    std::wstring m_folder;
};

// The regular files of a folder whose names match a pattern of '*' and '?'
// (letters compared without regard to case), in name order. Hidden files
// are included when flags ask for them. A folder that does not exist or
// cannot be read yields nothing.
class kvCDirFileIterator {
public:
    kvCDirFileIterator(const kvCDirectory& directory, const wchar_t* pattern, unsigned int flags);
    // The next file, or false at the end.
    bool next(kvCFile& file);

private:
    std::vector<kvCFile> m_files;
    std::size_t m_next = 0;
};

// The file name as the platform's file functions take it.
std::string kvNarrowPath(const std::wstring& path);
// Whether a name matches a pattern of '*' and '?', without regard to case.
bool kvMatchFilePattern(const wchar_t* pattern, const wchar_t* name);
