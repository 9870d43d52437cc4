// The loader's look at a module file before the system maps it: a file cut
// short (an interrupted copy, a full disk) would otherwise be mapped with
// pages past its end and crash the process when the loader touches them.
#include "platform/platform_internal.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <sys/stat.h>

namespace kvplat {
namespace detail {

namespace {

// An extent [offset, offset + size) inside a file of fileSize bytes, without
// overflow in the sum.
bool inside(unsigned long long offset, unsigned long long size, unsigned long long fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

template <class Ehdr, class Phdr, class Shdr>
DWORD checkImage(std::ifstream& file, unsigned long long fileSize)
{
    Ehdr header{};
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(&header), sizeof header))
        return ERROR_BAD_EXE_FORMAT;
    if (header.e_type != ET_DYN)
        return ERROR_BAD_EXE_FORMAT;
    if (header.e_phnum > 0) {
        if (header.e_phentsize != sizeof(Phdr) ||
            !inside(header.e_phoff, static_cast<unsigned long long>(header.e_phnum) * sizeof(Phdr), fileSize))
            return ERROR_BAD_EXE_FORMAT;
        for (unsigned i = 0; i < header.e_phnum; ++i) {
            Phdr ph{};
            file.seekg(static_cast<std::streamoff>(header.e_phoff + i * sizeof(Phdr)));
            if (!file.read(reinterpret_cast<char*>(&ph), sizeof ph))
                return ERROR_BAD_EXE_FORMAT;
            if (ph.p_type == PT_LOAD && !inside(ph.p_offset, ph.p_filesz, fileSize))
                return ERROR_BAD_EXE_FORMAT;
        }
    }
    if (header.e_shnum > 0) {
        if (header.e_shentsize != sizeof(Shdr) ||
            !inside(header.e_shoff, static_cast<unsigned long long>(header.e_shnum) * sizeof(Shdr), fileSize))
            return ERROR_BAD_EXE_FORMAT;
        for (unsigned i = 0; i < header.e_shnum; ++i) {
            Shdr sh{};
            file.seekg(static_cast<std::streamoff>(header.e_shoff + i * sizeof(Shdr)));
            if (!file.read(reinterpret_cast<char*>(&sh), sizeof sh))
                return ERROR_BAD_EXE_FORMAT;
            if (sh.sh_type != SHT_NOBITS && !inside(sh.sh_offset, sh.sh_size, fileSize))
                return ERROR_BAD_EXE_FORMAT;
        }
    }
    return ERROR_SUCCESS;
}

} // namespace

DWORD checkModuleImage(const std::string& path)
{
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return ERROR_FILE_NOT_FOUND;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return ERROR_FILE_NOT_FOUND;
    const unsigned long long fileSize = static_cast<unsigned long long>(info.st_size);
    unsigned char ident[EI_NIDENT] = {};
    if (!file.read(reinterpret_cast<char*>(ident), sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return ERROR_BAD_EXE_FORMAT;
    if (ident[EI_CLASS] == ELFCLASS64)
        return checkImage<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>(file, fileSize);
    if (ident[EI_CLASS] == ELFCLASS32)
        return checkImage<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>(file, fileSize);
    return ERROR_BAD_EXE_FORMAT;
}

} // namespace detail
} // namespace kvplat
