// The session-script language of the host simulator: one command per line,
// the first word naming the command and the rest of the line its argument
// text. Blank lines and lines starting with '#' are skipped.
//
// Commands live in a registry so that any simulator source can add its own
// from a static initialiser:
//
//   static hostsim::CommandRegistration faces("faces",
//       [](hostsim::Session& s, const std::string& args) { ... });
//
// A handler that cannot carry out its line throws ScriptError; the
// interpreter reports it with the line number and goes on with the next line.
#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace hostsim {

class Session;

using CommandHandler = std::function<void(Session& session, const std::string& args)>;

struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Adds a command. A name that is empty, contains blanks or is taken already is
// refused (false), so two sources cannot silently replace each other's command.
bool registerCommand(const std::string& name, CommandHandler handler);

// The handler registered under exactly this name, or null.
const CommandHandler* findCommand(const std::string& name);

// Every registered name, sorted.
std::vector<std::string> commandNames();

// For registration from a static initialiser.
struct CommandRegistration {
    CommandRegistration(const std::string& name, CommandHandler handler);
};

// Inside a catch block: a short text for the exception being handled, also for
// the module's own kinds (a wide-string pointer, a bool, an enumeration).
std::string describeCurrentException();

// Splits a line into its command word and the rest (both trimmed).
void splitCommand(const std::string& line, std::string& name, std::string& args);

// Splits argument text at blanks.
std::vector<std::string> splitWords(const std::string& text);

struct ScriptResult {
    int linesRead = 0;  // lines taken from the input, blank and comment lines included
    int linesRun = 0;   // commands carried out, failed ones included
    int errors = 0;     // unknown commands and lines whose handler failed
    bool quit = false;  // stopped by a quit request rather than end of input
};

// Runs the script line by line until its end or until the session asks to
// quit. Problems with single lines go to err as "line N: ..." and do not stop
// the run.
ScriptResult runScript(std::istream& in, Session& session, std::ostream& err);

// The session that `make demo` plays: every registered section in the order
// of its key, then a census and quit. A section starts with no analysis window
// open and closes the window it opened, so each capability adds its own part
// from its own source:
//
//   static hostsim::DemoSection tour("40-radius", "echo -- ...\n" "mode 3\n" ...);
std::string demoScript();

struct DemoSection {
    DemoSection(const std::string& key, const std::string& text);
};

} // namespace hostsim
