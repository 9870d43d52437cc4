// The simulator's basic commands: the user choosing "analyse", switching the
// document's transparent mode and the host's language, answering message
// boxes in advance, and looking at the session's state.
#include "args.h"
#include "script.h"
#include "session.h"
#include "text.h"

#include "platform/afx.h"
#include "platform/kvPlatform.h"

#include <ostream>
#include <stdexcept>

namespace hostsim {

namespace {

bool parseOnOff(const std::string& args)
{
    if (args == "on") return true;
    if (args == "off") return false;
    throw ScriptError("expected on or off, got '" + args + "'");
}

// "job MACHINE X Y Z [TILT]": a job definition of the document, on that
// machine and with its frame at (X, Y, Z), turned TILT degrees about its X
// axis.
JobDefinition* jobOf(const std::string& args)
{
    const auto words = splitWords(args);
    if ((words.size() != 5 && words.size() != 6) || words[0] != "job")
        throw ScriptError("expected nothing or: job MACHINE X Y Z [TILT]");
    double origin[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < 3; ++i) origin[i] = numberArg(words[2 + i], -kCoordinateLimit, kCoordinateLimit, "a coordinate");
    const double tilt = words.size() == 6 ? numberArg(words[5], -360.0, 360.0, "a tilt in degrees") : 0.0;
    return JobDefinition::create(fromUtf8(words[1]), origin, tilt);
}

void analyse(Session& s, const std::string& args)
{
    JobDefinition* job = args.empty() ? nullptr : jobOf(args);
    AppDocument& doc = s.document();
    const int registrationsBefore = doc.registrations();
    const int boxesBefore = s.application().messageBoxCount();
    CWnd* before = doc.window(kAnalysisWindowName);

    if (job)
        s.startAnalyseLending(job);
    else
        s.execCommand(L"analyse");

    CWnd* after = doc.window(kAnalysisWindowName);
    const std::string name = toUtf8(kAnalysisWindowName);
    if (after && (after != before || doc.registrations() != registrationsBefore)) {
        s.out() << "analysis window opened and registered as \"" << name << "\"\n";
    } else if (s.application().messageBoxCount() != boxesBefore) {
        // The message box said what happened.
    } else if (after) {
        const HWND hwnd = after->GetSafeHwnd();
        s.out() << (hwnd && IsWindowVisible(hwnd) ? "analysis window shown again\n"
                                                  : "analysis window registered but not visible\n");
    } else {
        s.out() << "no analysis window\n";
    }
}

void transparent(Session& s, const std::string& args)
{
    const bool on = parseOnOff(args);
    s.baseDocument().setTransparent(on);
    s.out() << "transparent mode " << (on ? "on" : "off") << '\n';
}

void language(Session& s, const std::string& args)
{
    if (args.empty() || splitWords(args).size() != 1) throw ScriptError("expected one language name");
    s.resources().setLanguage(fromUtf8(args));
    s.out() << "language: " << args << '\n';
}

void answer(Session& s, const std::string& args)
{
    const auto words = splitWords(args);
    if (words.empty()) throw ScriptError("expected one or more answers");
    // The buttons a message box can answer with, IDOK (1) to IDCONTINUE (11).
    std::vector<int> answers;
    for (const std::string& word : words) answers.push_back(static_cast<int>(integerArg(word, 1, 11, "an answer")));
    // All or nothing: a bad word leaves the queue as it was.
    for (int value : answers) s.application().queueAnswer(value);
}

void status(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("status takes no arguments");
    std::ostream& out = s.out();
    out << "module lock count: " << s.lockCount() << '\n';
    const auto& windows = s.document().windows();
    out << "registered windows:";
    if (windows.empty()) out << " none";
    for (const auto& entry : windows) {
        const HWND hwnd = entry.second ? entry.second->GetSafeHwnd() : nullptr;
        out << " \"" << toUtf8(entry.first) << "\" ("
            << (hwnd && IsWindowVisible(hwnd) ? "visible" : "hidden") << ')';
    }
    out << '\n';
    out << "analyse show mode: " << s.baseDocument().analyseShowMode() << '\n';
    out << "transparent mode: " << (s.baseDocument().transparent() ? "on" : "off") << '\n';
    out << "mouse reactors: " << s.baseDocument().reactorCount() << '\n';
    // Wrappers the platform made for windows without an object of their own;
    // the idle step between commands frees those of closed windows, so the
    // number stays put however often a window opens and closes.
    out << "temporary window objects: " << kvplat::temporaryWindowObjects() << '\n';
}

const CommandRegistration registrations[] = {
    {"analyse", analyse},
    {"transparent", transparent},
    {"language", language},
    {"answer", answer},
    {"status", status},
    {"echo", [](Session& s, const std::string& args) { s.out() << escapeText(args) << '\n'; }},
    {"quit", [](Session& s, const std::string&) { s.requestQuit(); }},
};

} // namespace

} // namespace hostsim
