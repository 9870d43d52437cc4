// hostsim: a headless host for the analysis module.
//
//   hostsim [--module PATH] SCRIPT   run the session script in SCRIPT
//   hostsim [--module PATH] -        read the script from standard input
//   hostsim [--module PATH] --demo   run the built-in demo session
//
// Script commands (one a line, '#' starts a comment):
//   analyse                the user chooses the module's command "analyse"
//   analyse job M X Y Z [T] a job's analysis: its definition (machine M, frame
//                          at X Y Z, turned T degrees about its X axis) is
//                          the first parameter of the start
//   transparent on|off     the document's transparent mode
//   language NAME          the host's language (German, English, ...)
//   answer N...            answers for the next message boxes (default 1)
//   echo TEXT              prints TEXT
//   status                 module lock count, registered windows, show modes,
//                          mouse reactors, temporary window objects
//   faces                  the faces of the sample part
//   mode N                 chooses entry N of the window's mode list
//   press NAME|ID          presses a button of the window (transparent, save,
//                          show-faces, new-frame, tool-length, close, help)
//   set KEY VALUE          types VALUE into a property of the shown property
//                          control ("set Surfaces 102 111" selects faces); a
//                          key with blanks of its own goes in double quotes
//                          ("set \"InfoShowText \" true")
//   write KEY VALUE        a caller writes VALUE into a property of the
//                          window's set, whether or not a line shows it
//   resize W H             resizes the window as the user would
//   close                  closes the window with its close box
//   help                   F1 in the window
//   show WHAT...           modes, panel, tooltips, size, buttons, window;
//                          places: where the panel, its border and its lists
//                          stand; view: the temporary graphics the views show
//                          now
//   pick X Y Z DX DY DZ    a pick in a view: from the point, the eye looking
//                          along DX DY DZ; the face it hits goes to the
//                          reactors (each view direction is a view of its
//                          own on the screen)
//   move X Y Z             a mouse move in a view looking down
//   offer NAME on|off      whether the host offers an optional interface
//   feedback KEY VALUE     a value of the "Feedbacks" settings
//   census                 host objects the module still holds
//   quit                   ends the session
// Other simulator sources add commands of their own (see script.h).
//
// Exit status: 0 for a clean session, 1 when the module cannot be loaded, the
// script cannot be read or the arguments are wrong, 2 when script lines
// failed, 3 when host objects were still alive at the end (a reference the
// module never gave back).
#include "script.h"
#include "session.h"
#include "text.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#ifndef KV_MODULE_PATH
#define KV_MODULE_PATH "kvAnalyse.so"
#endif

namespace {

int usage()
{
    std::cerr << "usage: hostsim [--module PATH] (SCRIPT | - | --demo)\n"
                 "script commands, one a line:";
    for (const std::string& name : hostsim::commandNames()) std::cerr << ' ' << name;
    std::cerr << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string modulePath = KV_MODULE_PATH;
    std::string scriptPath;
    bool demo = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--module") {
            if (++i >= argc) return usage();
            modulePath = argv[i];
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usage();
        } else if (scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return usage();
        }
    }
    if (demo == !scriptPath.empty()) return usage();

    std::ifstream file;
    std::istringstream demoText;
    std::istream* script = &std::cin;
    if (demo) {
        demoText.str(hostsim::demoScript());
        script = &demoText;
    } else if (scriptPath != "-") {
        // A folder opens as a stream on this system and then reads as empty.
        struct stat info {};
        if (stat(scriptPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            std::cerr << "hostsim: cannot read " << hostsim::escapeText(scriptPath) << ": it is a folder\n";
            return 1;
        }
        file.open(scriptPath);
        if (!file) {
            std::cerr << "hostsim: cannot read " << hostsim::escapeText(scriptPath) << '\n';
            return 1;
        }
        script = &file;
    }

    hostsim::Session session(std::cout);
    if (!session.start(modulePath)) return 1;
    const hostsim::ScriptResult result = hostsim::runScript(*script, session, std::cerr);
    // A read that broke off is not the end of the script: what followed was
    // never run.
    const bool readFailed = script->bad();
    if (readFailed)
        std::cerr << "hostsim: reading the script failed after line " << result.linesRead << '\n';
    const int alive = session.finish();
    if (readFailed) return 1;
    if (alive > 0) return 3;
    return result.errors > 0 ? 2 : 0;
}
