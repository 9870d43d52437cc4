#include "host_objects.h"
#include "toolpos_host.h"

#include "referenced.h"
#include "text.h"

#include "host/object/kvPropAccess.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

namespace hostsim {

namespace {

// The host's own texts in languages other than English (where the module's
// default texts already are what the user reads).
struct Translation {
    const wchar_t* language;
    const wchar_t* file;
    const wchar_t* key;
    const wchar_t* text;
};

const Translation kTranslations[] = {
    {L"German", L"twFTMain.loc", L"FeatAnalyseWarn", L"Analyse kann im Transparentmodus nicht gestartet werden"},
};

// Copies text into a caller's buffer of capacity characters, always
// terminated; false when it does not fit whole or there is no room at all.
bool copyOut(const std::wstring& text, wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return false;
    const std::size_t room = static_cast<std::size_t>(capacity) - 1;
    const std::size_t n = std::min(room, text.size());
    std::wmemcpy(buffer, text.data(), n);
    buffer[n] = L'\0';
    return n == text.size();
}

template <class Interface, class Object>
int handOut(Object* object, kvIUnknown** out)
{
    if (!out) return -1;
    *out = nullptr;
    if (!object) return -1;
    Interface* itf = object;
    *out = itf;
    (*out)->addRef();
    return 0;
}

template <class Object>
void releaseHeld(Object*& object)
{
    Object* old = object;
    object = nullptr;
    if (old) old->_relRef();
}

template <class Object>
Object* retain(Object* object)
{
    if (object) object->_addRef();
    return object;
}

} // namespace

// ---------------------------------------------------------------- Application

Application* Application::create(std::ostream& out) { return makeReferenced<Application>(out); }

Application::Application(std::ostream& out)
    : Counted("application"), m_out(out), m_resources(ResourceManager::create())
{
}

Application::~Application() { releaseHeld(m_resources); }

kvIUnknown* Application::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvIApplication1, kvITarnwellApp1, kvISWParameter1>(this, name);
}

int Application::getResourceManager(kvIUnknown** manager)
{
    return handOut<kvIResourceMgr1>(m_resources, manager);
}

int Application::messageBox(int kind, const wchar_t* text, int flags)
{
    (void)flags;
    ++m_messageBoxes;
    m_out << "[message box kind " << kind << "] " << shownText(text) << '\n';
    int answer = 1;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    if (kind == 1) m_out << "[answer " << answer << "]\n";
    return answer;
}

// ---------------------------------------------------------------- ResourceManager

ResourceManager* ResourceManager::create() { return makeReferenced<ResourceManager>(); }

ResourceManager::ResourceManager() : Counted("resource manager")
{
    for (const wchar_t* code : {L"zhs", L"zht", L"cs", L"ni", L"en", L"fr", L"de", L"it", L"ja", L"ko", L"pl", L"es"})
        m_available.push_back(std::wstring(L"kvLibRes_") + code + L".loc");
}

ResourceManager::~ResourceManager()
{
    for (Loaded* module : m_loaded) {
        if (module->library) FreeLibrary(module->library);
        delete module;
    }
}

kvIUnknown* ResourceManager::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvIResourceMgr1, kvIResourceMgr2, kvITextLookup1>(this, name);
}

int ResourceManager::loadModule(const wchar_t* fileName, HMODULE* module)
{
    if (!module) return -1;
    *module = nullptr;
    if (!fileName) return -1;
    const auto library = m_libraries.find(fileName);
    if (library == m_libraries.end() &&
        std::find(m_available.begin(), m_available.end(), fileName) == m_available.end())
        return -1;
    // Loading a file that is loaded already hands out the same module, as a
    // real loader does.
    for (Loaded* loaded : m_loaded) {
        if (loaded->file == fileName) {
            *module = loaded->library ? loaded->library : reinterpret_cast<HMODULE>(loaded);
            return 0;
        }
    }
    HMODULE real = nullptr;
    if (library != m_libraries.end()) {
        real = LoadLibraryW(fromUtf8(library->second).c_str());
        if (!real) return -1;
    }
    Loaded* loaded = new Loaded{fileName, real};
    m_loaded.push_back(loaded);
    *module = real ? real : reinterpret_cast<HMODULE>(loaded);
    return 0;
}

int ResourceManager::freeModule(HMODULE module)
{
    auto it = std::find_if(m_loaded.begin(), m_loaded.end(), [module](Loaded* loaded) {
        return loaded->library ? loaded->library == module : reinterpret_cast<HMODULE>(loaded) == module;
    });
    if (it == m_loaded.end()) return -1;
    if ((*it)->library) FreeLibrary((*it)->library);
    delete *it;
    m_loaded.erase(it);
    return 0;
}

void ResourceManager::setLibrary(const std::wstring& fileName, const std::string& path)
{
    if (path.empty())
        m_libraries.erase(fileName);
    else
        m_libraries[fileName] = path;
}

std::vector<std::wstring> ResourceManager::loadedModules() const
{
    std::vector<std::wstring> files;
    for (const Loaded* loaded : m_loaded) files.push_back(loaded->file);
    return files;
}

int ResourceManager::getLanguageName(wchar_t* buffer, int capacity)
{
    return copyOut(m_language, buffer, capacity) ? 0 : -1;
}

int ResourceManager::lookupText(const wchar_t* file, const wchar_t* key, wchar_t* buffer, int capacity)
{
    if (!file || !key) return -1;
    for (const Translation& t : kTranslations) {
        if (m_language == t.language && std::wcscmp(file, t.file) == 0 && std::wcscmp(key, t.key) == 0)
            return copyOut(t.text, buffer, capacity) ? 0 : -1;
    }
    return -1;
}

// ---------------------------------------------------------------- documents and model

TmpGraphics* TmpGraphics::create(std::ostream& out) { return makeReferenced<TmpGraphics>(out); }

int KeptLines::overflow(int c)
{
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    m_target.put(static_cast<char>(c));
    if (c == '\n') {
        m_lines.push_back(m_line);
        m_line.clear();
    } else {
        m_line += static_cast<char>(c);
    }
    return c;
}

namespace {
// The groups alive, in the order they were made.
std::vector<TmpGraphics*>& aliveGroups()
{
    static std::vector<TmpGraphics*> groups;
    return groups;
}
} // namespace

TmpGraphics::TmpGraphics(std::ostream& out) : Counted("graphics group"), m_drawn(out), m_out(&m_drawn)
{
    static int made = 0;
    m_number = ++made;
    aliveGroups().push_back(this);
}

TmpGraphics::~TmpGraphics()
{
    std::vector<TmpGraphics*>& groups = aliveGroups();
    groups.erase(std::remove(groups.begin(), groups.end(), this), groups.end());
    m_drawn.target() << "[view] group " << m_number << " released\n";
}

void TmpGraphics::printView(std::ostream& out)
{
    out << "view shows:";
    bool any = false;
    for (const TmpGraphics* group : aliveGroups()) {
        if (!group->m_visible) continue;
        any = true;
        out << "\n  group " << group->m_number;
        if (group->m_drawn.lines().empty()) out << ", empty";
        // Each drawing as it was printed, without the group it names again.
        const std::string own = "[view] group " + std::to_string(group->m_number) + ": ";
        for (const std::string& line : group->m_drawn.lines())
            out << "\n    " << line.substr(line.compare(0, own.size(), own) == 0 ? own.size() : 7);
    }
    out << (any ? "\n" : " nothing\n");
}

kvIUnknown* TmpGraphics::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvIBaseTmpGraphics, kvITDTmpGraphicsExt>(this, name);
}

int TmpGraphics::setVisible(int visible)
{
    if (m_visible && !visible) m_drawn.target() << "[view] group " << m_number << " hidden\n";
    m_visible = visible;
    return 0;
}

int TmpGraphics::drawCs(const double frame[4][4], double size, unsigned long xColour, unsigned long yColour,
                        unsigned long zColour, int flags)
{
    (void)yColour;
    (void)zColour;
    (void)flags;
    if (!frame) return -1;
    char text[160];
    std::snprintf(text, sizeof text, "[view] coordinate system at (%g, %g, %g), axes %g long, colour 0x%06lx",
                  frame[0][3], frame[1][3], frame[2][3], size, xColour);
    m_out << text << '\n';
    return 0;
}

namespace {
const std::vector<std::wstring> kOptionalDocumentInterfaces = {
    L"kvIBaseDocWithAnalyseShowMode", L"kvIBaseDocWithFeatureShowMode", L"kvIBaseDocWithColorSet",
    L"kvIInvDocument1", L"kvIMouseEvents1", L"kvISWDocument1", L"kvIBaseDocWithView", L"kvITDBaseDocument1",
};
} // namespace

BaseDocument* BaseDocument::create(std::ostream& out) { return makeReferenced<BaseDocument>(out); }

BaseDocument::BaseDocument(std::ostream& out) : Counted("base document"), m_out(out)
{
    for (const std::wstring& name : kOptionalDocumentInterfaces) m_offers[name] = true;
    m_offers[L"kvITDBaseDocument1"] = false;
}

BaseDocument::~BaseDocument()
{
    for (kvIMouseEventsReactor1* reactor : m_reactors) reactor->release();
    setModel(nullptr);
}

void BaseDocument::setModel(Model* model)
{
    if (model) model->_addRef();
    Model* old = m_model;
    m_model = model;
    if (old) old->_relRef();
}

int BaseDocument::getBaseModel(kvIUnknown** model)
{
    return handOut<kvIBaseModel1>(m_model, model);
}

int BaseDocument::beginInsert(const double frame[4][4])
{
    if (!m_model) return -1;
    return m_model->cad().beginInsert(frame);
}

int BaseDocument::endInsert()
{
    if (!m_model) return -1;
    return m_model->cad().endInsert();
}

const std::vector<std::wstring>& BaseDocument::optionalInterfaces() { return kOptionalDocumentInterfaces; }

bool BaseDocument::setOffers(const std::wstring& interfaceName, bool offered)
{
    auto it = m_offers.find(interfaceName);
    if (it == m_offers.end()) return false;
    it->second = offered;
    return true;
}

bool BaseDocument::offers(const std::wstring& interfaceName) const
{
    auto it = m_offers.find(interfaceName);
    return it == m_offers.end() || it->second;
}

kvIUnknown* BaseDocument::queryInterface(const wchar_t* name)
{
    if (!name || !offers(name)) return nullptr;
    return kvQueryInterfaces<kvIBaseDocument1, kvIBaseDocWithAnalyseShowMode, kvIBaseDocWithFeatureShowMode,
                             kvIBaseDocWithColorSet, kvIInvDocument1, kvIMouseEvents1, kvISWDocument1,
                             kvIBaseDocWithView, kvITDBaseDocument1>(this, name);
}

int BaseDocument::hasViewFunction(const wchar_t* name)
{
    return name && std::wstring(name) == L"fitViewToBox" ? 1 : 0;
}

int BaseDocument::fitViewToBox(const double first[3], const double second[3])
{
    if (!first || !second) return -1;
    m_out << "[view] fitted to the box (" << first[0] << ", " << first[1] << ", " << first[2] << ") - ("
          << second[0] << ", " << second[1] << ", " << second[2] << ")\n";
    return 0;
}

int BaseDocument::getTmpGraphics(kvIUnknown** graphics)
{
    if (!graphics) return -1;
    TmpGraphics* group = TmpGraphics::create(m_out);
    // The caller gets the only reference.
    *graphics = static_cast<kvIBaseTmpGraphics*>(group);
    return 0;
}

int BaseDocument::setAnalyseShowMode(int mode)
{
    m_analyseShowMode = mode;
    return 0;
}

int BaseDocument::setFeatureShowMode(int mode, int flag)
{
    (void)flag;
    m_featureShowMode = mode;
    m_out << "[document] feature show mode " << mode << '\n';
    return 0;
}

int BaseDocument::setColorSet(unsigned long color, unsigned long* mapped)
{
    // The document's colour set holds every colour as it is.
    if (mapped) *mapped = color;
    return 0;
}

int BaseDocument::beginLongOperation()
{
    ++m_longOperations;
    return 0;
}

int BaseDocument::endLongOperation()
{
    if (m_longOperations == 0) return -1;
    --m_longOperations;
    return 0;
}

int BaseDocument::addReactor(kvIMouseEventsReactor1* reactor)
{
    if (!reactor) return -1;
    if (std::find(m_reactors.begin(), m_reactors.end(), reactor) != m_reactors.end()) return 0;
    reactor->addRef();
    m_reactors.push_back(reactor);
    return 0;
}

int BaseDocument::removeReactor(kvIMouseEventsReactor1* reactor)
{
    auto it = std::find(m_reactors.begin(), m_reactors.end(), reactor);
    if (it == m_reactors.end()) return -1;
    m_reactors.erase(it);
    reactor->release();
    return 0;
}

int BaseDocument::sendMouseEvent(int event, double x, double y, const double* viewParameters, double view[4][4],
                                 int state, kvIUnknown* hitObject, const double* hitPoint, bool flag)
{
    const std::vector<kvIMouseEventsReactor1*> reactors = m_reactors;
    for (kvIMouseEventsReactor1* reactor : reactors) reactor->addRef();
    for (kvIMouseEventsReactor1* reactor : reactors)
        reactor->onMouseEvent(event, x, y, 0, viewParameters, view, 0, state, hitObject, hitPoint, flag);
    for (kvIMouseEventsReactor1* reactor : reactors) reactor->release();
    return static_cast<int>(reactors.size());
}

Model* Model::create() { return makeReferenced<Model>(); }

Model::Model() : Counted("model"), m_frames(FrameSet::create()) {}

Model::~Model() { releaseHeld(m_frames); }

kvIUnknown* Model::queryInterface(const wchar_t* name)
{
    if (name && std::wcscmp(name, kvIfName<kvITwFrameSet1>::value) == 0)
        return m_frames->queryInterface(name);
    if (name && !m_deletes && std::wcscmp(name, kvIfName<kvIBaseModelWithDelete>::value) == 0) return nullptr;
    return kvQueryInterfaces<kvITarnwellModel1, kvIBaseModel1, kvIBaseModelWithDelete>(this, name);
}

bool Model::setOffers(const std::wstring& interfaceName, bool offered)
{
    if (interfaceName != kvIfName<kvIBaseModelWithDelete>::value) return false;
    m_deletes = offered;
    return true;
}

int Model::createEntity(int kind, kvIUnknown** entity)
{
    if (!entity) return -1;
    *entity = createCadEntity(this, m_cad, kind);
    return *entity ? 0 : -1;
}

int Model::deleteEntity(kvIUnknown* entity) { return deleteCadEntity(this, m_cad, entity) ? 0 : -1; }

DataSet* DataSet::create() { return makeReferenced<DataSet>(); }

DataSet::DataSet() : Counted("data set") {}

kvIUnknown* DataSet::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvIDataSet1, kvIFeedback1>(this, name);
}

unsigned long DataSet::getColor(const wchar_t* key)
{
    auto it = key ? m_colors.find(key) : m_colors.end();
    return it == m_colors.end() ? 0 : it->second;
}

double DataSet::getDouble(const wchar_t* key)
{
    auto it = key ? m_doubles.find(key) : m_doubles.end();
    return it == m_doubles.end() ? 0.0 : it->second;
}

bool DataSet::getBool(const wchar_t* key)
{
    auto it = key ? m_bools.find(key) : m_bools.end();
    return it != m_bools.end() && it->second;
}

int DataSet::getString(const wchar_t* key, kvCString& value)
{
    auto it = key ? m_texts.find(key) : m_texts.end();
    if (it == m_texts.end()) return -1;
    value = it->second;
    return 0;
}

HelpContext* HelpContext::create(std::ostream& out) { return makeReferenced<HelpContext>(out); }

HelpContext::HelpContext(std::ostream& out) : Counted("help context"), m_out(out) {}

kvIUnknown* HelpContext::queryInterface(const wchar_t* name) { return kvQueryInterfaces<kvIHelpContext1>(this, name); }

int HelpContext::clearContext()
{
    m_context.clear();
    return 0;
}

int HelpContext::setContext(const wchar_t* key)
{
    m_context = key ? key : L"";
    return 0;
}

int HelpContext::showHelp()
{
    if (m_context.empty()) return -1;
    m_out << "[help] " << toUtf8(m_context) << '\n';
    return 0;
}

AppDocument* AppDocument::create(BaseDocument* baseDocument, Model* model)
{
    return makeReferenced<AppDocument>(baseDocument, model);
}

AppDocument::AppDocument(BaseDocument* baseDocument, Model* model)
    : Counted("application document"),
      m_baseDocument(retain(baseDocument)),
      m_model(retain(model)),
      m_feedbacks(DataSet::create())
{
    if (baseDocument) baseDocument->setModel(model);
    // The feedback colours of a fresh host installation.
    m_feedbacks->setColor(L"Color_Toolholder", 0x808080);
    m_feedbacks->setColor(L"Color_Frame", 0x0000FF);
    m_feedbacks->setColor(L"Color_Tool", 0xC0C0C0);
    m_feedbacks->setColor(L"Color_Bottom", 0x00FF00);
    m_feedbacks->setDouble(L"Size", 50.0);
    m_feedbacks->setBool(L"UseFLColorTable", false);
}

int AppDocument::getSelector(kvIUnknown** selector)
{
    if (!selector) return -1;
    *selector = m_selector;
    if (!m_selector) return -1;
    m_selector->addRef();
    return 0;
}

void AppDocument::setSelector(kvIUnknown* selector)
{
    if (selector) selector->addRef();
    if (m_selector) m_selector->release();
    m_selector = selector;
}

AppDocument::~AppDocument()
{
    setSelector(nullptr);
    releaseHeld(m_baseDocument);
    releaseHeld(m_model);
    releaseHeld(m_feedbacks);
}

int AppDocument::getDataSet(const wchar_t* name, kvIUnknown** dataSet)
{
    if (!dataSet) return -1;
    *dataSet = nullptr;
    if (!name || std::wcscmp(name, L"Feedbacks") != 0) return -1;
    return handOut<kvIDataSet1>(m_feedbacks, dataSet);
}

kvIUnknown* AppDocument::queryInterface(const wchar_t* name)
{
    // The document hands out its model under the model's interface name.
    if (name && m_model && std::wcscmp(name, kvIfName<kvITarnwellModel1>::value) == 0)
        return m_model->queryInterface(name);
    return kvQueryInterfaces<kvIAppDocument1>(this, name);
}

int AppDocument::getBaseDocument(kvIUnknown** document)
{
    return handOut<kvIBaseDocument1>(m_baseDocument, document);
}

int AppDocument::registerWindow(const wchar_t* name, CWnd* window)
{
    if (!name || !window) return -1;
    m_windows[name] = window;
    ++m_registrations;
    return 0;
}

int AppDocument::unregisterWindow(CWnd* window)
{
    int removed = 0;
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (it->second == window) {
            it = m_windows.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed > 0 ? 0 : -1;
}

int AppDocument::findWindow(const wchar_t* name, CWnd** window)
{
    if (!window) return -1;
    *window = name ? this->window(name) : nullptr;
    return *window ? 0 : -1;
}

CWnd* AppDocument::window(const std::wstring& name) const
{
    auto it = m_windows.find(name);
    return it == m_windows.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- system and context

BaseSystem* BaseSystem::create(HWND mainWindow) { return makeReferenced<BaseSystem>(mainWindow); }

BaseSystem::BaseSystem(HWND mainWindow) : Counted("base system"), m_mainWindow(mainWindow) {}

kvIUnknown* BaseSystem::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvIBaseSystem1, kvITDSystem1>(this, name);
}

int BaseSystem::getMainWindow(HWND* window)
{
    if (!window) return -1;
    *window = m_mainWindow;
    return m_mainWindow ? 0 : -1;
}

ExecContext* ExecContext::create(Application* application, BaseSystem* baseSystem, AppDocument* document,
                                 BaseDocument* baseDocument, HelpContext* helpContext)
{
    return makeReferenced<ExecContext>(application, baseSystem, document, baseDocument, helpContext);
}

ExecContext::ExecContext(Application* application, BaseSystem* baseSystem, AppDocument* document,
                         BaseDocument* baseDocument, HelpContext* helpContext)
    : Counted("execution context"),
      m_application(retain(application)),
      m_baseSystem(retain(baseSystem)),
      m_document(retain(document)),
      m_baseDocument(retain(baseDocument)),
      m_helpContext(retain(helpContext))
{
}

ExecContext::~ExecContext()
{
    releaseHeld(m_application);
    releaseHeld(m_baseSystem);
    releaseHeld(m_document);
    releaseHeld(m_baseDocument);
    releaseHeld(m_helpContext);
}

kvIUnknown* ExecContext::queryInterface(const wchar_t* name) { return kvQueryInterfaces<kvIAppExecContext1>(this, name); }

int ExecContext::getApplication(kvIUnknown** application) { return handOut<kvIApplication1>(m_application, application); }
int ExecContext::getBaseSystem(kvIUnknown** baseSystem) { return handOut<kvIBaseSystem1>(m_baseSystem, baseSystem); }
int ExecContext::getAppDocument(kvIUnknown** document) { return handOut<kvIAppDocument1>(m_document, document); }
int ExecContext::getBaseDocument(kvIUnknown** document) { return handOut<kvIBaseDocument1>(m_baseDocument, document); }
int ExecContext::getHelpContext(kvIUnknown** helpContext)
{
    return handOut<kvIHelpContext1>(m_helpOffered ? m_helpContext : nullptr, helpContext);
}

// ---------------------------------------------------------------- JobDefinition

JobDefinition* JobDefinition::create(const std::wstring& machine, const double frameOrigin[3], double tiltDegrees)
{
    return makeReferenced<JobDefinition>(machine, frameOrigin, tiltDegrees);
}

JobDefinition::JobDefinition(const std::wstring& machine, const double frameOrigin[3], double tiltDegrees)
    : Counted("job definition"), m_frame(L"Job frame"), m_tool(L"Job tool"), m_area(L"Milling area"),
      m_settings(L"Job")
{
    const double tilt = tiltDegrees * 3.14159265358979323846 / 180.0;
    const double turned[4][4] = {{1.0, 0.0, 0.0, frameOrigin[0]},
                                 {0.0, std::cos(tilt), -std::sin(tilt), frameOrigin[1]},
                                 {0.0, std::sin(tilt), std::cos(tilt), frameOrigin[2]},
                                 {0.0, 0.0, 0.0, 1.0}};
    const kvCGeMatrix frame(turned);
    propSet(&m_frame, L"Matrix", frame);
    propSet(&m_settings, L"Machine", kvCString(machine.c_str()));
    m_settings.setPropRef(L"FrameRef", &m_frame);
    m_settings.setPropRef(L"Tool", &m_tool);
    m_settings.setPropRef(L"MillAreaRef", &m_area);
}

JobDefinition::~JobDefinition()
{
    if (m_watch && *m_watch == this) *m_watch = nullptr;
    // The settings refer to the frame's set: they go first.
    m_settings.setPropRef(L"FrameRef", &m_frame);
    if (m_frameObject) m_frameObject->release();
}

kvIUnknown* JobDefinition::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvITwCycleJobDef1, kvIGenericObject>(this, name);
}

int JobDefinition::getPropertySet(kvCPrPropertySet** set)
{
    if (!set) return -1;
    *set = &m_settings;
    return 0;
}

} // namespace hostsim
