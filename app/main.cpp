#include "Application.h"
#include "LinuxPlatform.h"
#include "_Quorbelix.h"
#include "hh.h"
#include "hh_funcs.h"

// Start-up and shutdown run in a fixed order written out here rather than left to the order of
// static initialisation: the help modules must be up before the window and must outlive it, since
// the window's FormDestroy still talks to the help viewer.
int main(int argc, char* argv[]) {
    // The application object takes the toolkit's options out of argv; the help diagnostics
    // report the command line as it was given.
    quorbelix::LinuxPlatform::keepCommandLine(argc, argv);
    quorbelix::Application application(argc, argv);

    // Module start-ups, in this order:
    //   1. the help binding (hh), which loads the help control;
    //   2. the help diagnostics (hh_funcs), which look at the help environment.
    hh::startUp();
    hh_funcs::GatherHelpEnvironment();

    int exitCode = 0;
    {
        TForm1 Form1;
        Form1.show();
        exitCode = QApplication::exec();
    }  // The window goes first: its FormDestroy runs here.

    // Module shutdowns, in the reverse order of their start-ups:
    //   2. the help diagnostics (hh_funcs) empty their texts;
    hh_funcs::ClearHelpEnvironment();
    //   1. the help binding (hh) releases the help control.
    hh::shutDown();

    return exitCode;
}
