#include "sdk/kvFile.h"

#include "platform/utf8.h"

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string kvNarrowPath(const std::wstring& path)
{
    // UTF-8, as the platform's file names are.
    std::string out;
    for (wchar_t wc : path)
        kvplat::appendUtf8(out, static_cast<std::uint32_t>(wc));
    return out;
}

namespace {

std::wstring widen(const std::string& text)
{
    // Names are read back as the platform gave them; bytes above 127 stay
    // single characters, which is enough to compare and to open them again.
    std::wstring out;
    for (unsigned char c : text)
        out += static_cast<wchar_t>(c);
    return out;
}

}  // namespace

bool kvMatchFilePattern(const wchar_t* pattern, const wchar_t* name)
{
    if (!pattern || !name)
        return false;
    // Greedy match with one back-track point for the last '*'.
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*name) {
        if (*pattern == L'*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == L'?' || (*pattern && std::towlower(*pattern) == std::towlower(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == L'*')
        ++pattern;
    return *pattern == L'\0';
}

kvCDirFileIterator::kvCDirFileIterator(const kvCDirectory& directory, const wchar_t* pattern, unsigned int flags)
{
    std::error_code error;
    const std::string narrowFolder = kvNarrowPath(directory.folder());
    fs::directory_iterator it(narrowFolder, error);
    if (error)
        return;
    std::wstring folder = directory.folder();
    if (!folder.empty() && folder.back() != L'/' && folder.back() != L'\\')
        folder += L'/';
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::error_code statError;
        if (!it->is_regular_file(statError) || statError)
            continue;
        const std::string narrowName = it->path().filename().string();
        if (!narrowName.empty() && narrowName[0] == '.' && !(flags & DI_HIDDEN))
            continue;
        const std::wstring name = widen(narrowName);
        if (!kvMatchFilePattern(pattern, name.c_str()))
            continue;
        const fs::file_time_type when = it->last_write_time(statError);
        if (statError)
            continue;
        // The clock's epoch may lie after the file's time: the signed count
        // is shifted into the unsigned range with its order kept.
        const std::int64_t ticks = static_cast<std::int64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count());
        m_files.emplace_back(folder, name, static_cast<std::uint64_t>(ticks) ^ (std::uint64_t(1) << 63));
    }
    std::sort(m_files.begin(), m_files.end(),
              [](const kvCFile& a, const kvCFile& b) { return a.name() < b.name(); });
}

bool kvCDirFileIterator::next(kvCFile& file)
{
    if (m_next >= m_files.size())
        return false;
    file = m_files[m_next++];
    return true;
}
