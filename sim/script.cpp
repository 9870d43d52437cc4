#include "script.h"

#include "session.h"
#include "text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <istream>
#include <map>
#include <ostream>

namespace hostsim {

namespace {

// Function-local so that registrations from static initialisers of other
// sources never meet an unconstructed map.
std::map<std::string, CommandHandler>& registry()
{
    static std::map<std::string, CommandHandler> commands;
    return commands;
}

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string trim(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

} // namespace

bool registerCommand(const std::string& name, CommandHandler handler)
{
    if (name.empty() || !handler) return false;
    if (std::any_of(name.begin(), name.end(), isBlank)) return false;
    return registry().emplace(name, std::move(handler)).second;
}

const CommandHandler* findCommand(const std::string& name)
{
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : &it->second;
}

std::vector<std::string> commandNames()
{
    std::vector<std::string> names;
    for (const auto& entry : registry()) names.push_back(entry.first);
    return names;
}

std::string describeCurrentException()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return std::string("exception: ") + e.what();
    } catch (const wchar_t* text) {
        return "exception " + toUtf8(text);
    } catch (bool value) {
        return value ? "exception true" : "exception false";
    } catch (int value) {
        return "exception " + std::to_string(value);
    } catch (...) {
        return "unknown exception";
    }
}

CommandRegistration::CommandRegistration(const std::string& name, CommandHandler handler)
{
    // Two sources claiming one name would leave one command unreachable
    // without a word: stop before any script runs.
    if (!registerCommand(name, std::move(handler))) {
        std::fprintf(stderr, "hostsim: the command '%s' is registered twice or badly named\n", name.c_str());
        std::abort();
    }
}

void splitCommand(const std::string& line, std::string& name, std::string& args)
{
    const std::string text = trim(line);
    std::size_t end = 0;
    while (end < text.size() && !isBlank(text[end])) ++end;
    name = text.substr(0, end);
    args = trim(text.substr(end));
}

std::vector<std::string> splitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

ScriptResult runScript(std::istream& in, Session& session, std::ostream& err)
{
    ScriptResult result;
    std::string line;
    int lineNo = 0;
    while (!session.quitRequested() && std::getline(in, line)) {
        ++lineNo;
        result.linesRead = lineNo;
        // Editors may start a UTF-8 file with a byte-order mark; it is no
        // part of the first command.
        if (lineNo == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        // A NUL byte would cut the line short wherever it is handed on as a
        // C string: refuse the whole line rather than run part of it.
        if (line.find('\0') != std::string::npos) {
            err << "line " << lineNo << ": holds a NUL byte and is not run\n";
            ++result.errors;
            continue;
        }
        std::string name, args;
        splitCommand(line, name, args);
        if (name.empty() || name[0] == '#') continue;

        const CommandHandler* handler = findCommand(name);
        if (!handler) {
            err << "line " << lineNo << ": unknown command '" << escapeText(name) << "'\n";
            ++result.errors;
            continue;
        }
        ++result.linesRun;
        try {
            (*handler)(session, args);
        } catch (const ScriptError& e) {
            err << "line " << lineNo << ": " << name << ": " << escapeText(e.what()) << '\n';
            ++result.errors;
        } catch (...) {
            // Whatever the module let escape; the host survives it.
            err << "line " << lineNo << ": " << name << ": " << escapeText(describeCurrentException()) << '\n';
            ++result.errors;
        }
        session.out().flush();
        // Between two inputs a host's message loop runs dry and does its idle
        // work, as the platform's own loop does.
        session.idle();
    }
    result.quit = session.quitRequested();
    return result;
}

namespace {

std::map<std::string, std::string>& demoSections()
{
    static std::map<std::string, std::string> sections;
    return sections;
}

// The window's own tour: opening, modes, a pick, resizing, reopening, jobs.
DemoSection windowTour("10-window",
           "# A short session with the analysis module.\n"
           "echo Session starts\n"
           "status\n"
           "echo -- the sample part in the document\n"
           "faces\n"
           "echo -- first analyse opens the analysis window\n"
           "analyse\n"
           "status\n"
           "show window\n"
           "show tooltips\n"
           "echo -- analyse two elements\n"
           "mode 2\n"
           "show modes panel\n"
           "echo -- back to a single element; a pick on the top face\n"
           "mode 1\n"
           "show panel\n"
           "pick 20 10 100 0 0 -1\n"
           "echo -- the window is made smaller\n"
           "resize 420 600\n"
           "show size\n"
           "echo -- second analyse brings the same window back\n"
           "analyse\n"
           "status\n"
           "echo -- no analysis in transparent mode\n"
           "transparent on\n"
           "analyse\n"
           "language German\n"
           "analyse\n"
           "language English\n"
           "transparent off\n"
           "echo -- the window is closed in mode 2\n"
           "mode 2\n"
           "close\n"
           "status\n"
           "census\n"
           "echo -- analyse again opens it in the mode it was closed in\n"
           "analyse\n"
           "show modes panel\n"
           "status\n"
           "echo -- a job's analysis opens in tool-position mode on the job's frame\n"
           "close\n"
           "analyse job DMU50 10 20 30\n"
           "show modes\n"
           "close\n"
           "census\n"
           "echo -- and that mode is kept for the next opening without a job\n"
           "analyse\n"
           "show modes\n"
           "close\n");

} // namespace

DemoSection::DemoSection(const std::string& key, const std::string& text)
{
    demoSections().emplace(key, text);
}

std::string demoScript()
{
    std::string script;
    for (const auto& section : demoSections()) script += section.second;
    script += "census\n"
              "quit\n";
    return script;
}

} // namespace hostsim
