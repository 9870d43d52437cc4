// The host's base folder with its colour catalogue: a folder of the
// simulator, made on first use, whose "feattech" folder holds a catalogue
// naming the sample part's colours. The command "basefolder" points the host
// elsewhere, to try a missing, empty or malformed catalogue.
#include "host_objects.h"
#include "script.h"
#include "session.h"
#include "text.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <system_error>
#include <unistd.h>

namespace hostsim {

namespace {

namespace fs = std::filesystem;

const char* const kCatalogue =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<ColorCatalog>\n"
    "  <Color_Interface_Definition R=\"192\" G=\"192\" B=\"192\" Name=\"Silver\"/>\n"
    "  <Color_Interface_Definition R=\"64\" G=\"96\" B=\"224\" Name=\"Royal blue\"/>\n"
    "  <Color_Interface_Definition R=\"64\" G=\"176\" B=\"96\" Name=\"Sea green\"/>\n"
    "  <Color_Interface_Definition R=\"240\" G=\"144\" B=\"32\" Name=\"Signal orange\"/>\n"
    "  <Color_Interface_Definition R=\"200\" G=\"64\" B=\"200\" Name=\"Orchid\"/>\n"
    "  <Color_Interface_Definition R=\"232\" G=\"216\" B=\"48\" Name=\"Mustard\"/>\n"
    "  <Color_Interface_Definition R=\"216\" G=\"48\" B=\"48\" Name=\"Signal red\"/>\n"
    "</ColorCatalog>\n";

// The simulator's own base folder: made once per process in the temporary
// folder and removed when the process ends.
class OwnBaseFolder {
public:
    const std::string& path()
    {
        if (m_path.empty()) {
            std::error_code error;
            fs::path base = fs::temp_directory_path(error);
            if (error) base = "/tmp";
            base /= "hostsim-" + std::to_string(getpid());
            fs::create_directories(base / "feattech", error);
            std::ofstream(base / "feattech" / "kvColorCatalog.xml") << kCatalogue;
            // The machine models the simulator ships.
            fs::copy(fs::path(KV_SIM_DATA_DIR) / "Machines", base / "Machines", fs::copy_options::recursive, error);
            m_path = base.string() + "/";
        }
        return m_path;
    }
    ~OwnBaseFolder()
    {
        if (m_path.empty()) return;
        std::error_code error;
        fs::remove_all(m_path, error);
    }

private:
    std::string m_path;
};

OwnBaseFolder& ownBaseFolder()
{
    static OwnBaseFolder folder;
    return folder;
}

void baseFolder(Session& s, const std::string& args)
{
    ResourceManager& resources = s.resources();
    if (args.empty() || args == "default") {
        resources.setBaseFolder(std::wstring());
        s.out() << "host base folder: the simulator's own\n";
        return;
    }
    std::string folder = args;
    if (folder.back() != '/') folder += '/';
    resources.setBaseFolder(fromUtf8(folder));
    s.out() << "host base folder: " << folder << '\n';
}

const CommandRegistration baseFolderCommand("basefolder", baseFolder);

} // namespace

int ResourceManager::getBaseFolder(wchar_t* buffer, int capacity)
{
    if (!buffer || capacity < 1) return -1;
    const std::wstring folder = m_baseFolder.empty() ? fromUtf8(ownBaseFolder().path()) : m_baseFolder;
    if (folder.size() + 1 > static_cast<std::size_t>(capacity)) return -1;
    std::wcsncpy(buffer, folder.c_str(), static_cast<std::size_t>(capacity));
    buffer[capacity - 1] = L'\0';
    return 0;
}

} // namespace hostsim
