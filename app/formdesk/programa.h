// The main program whole: the forms of every part registered with the main
// window's commands, then the start-up and the main window's message loop.
// Its own entry point calls it; so do the runs that drive it from tests.
#pragma once

namespace formdesk {

int Principal(int argc, char** argv);

}  // namespace formdesk
