#pragma once

#include <optional>

// The commands that run without a window: --help, --version, --export FILE, --import FILE,
// --share FOLDER, --sync and --album FOLDER. Looked
// at before anything of the window is made; returns the exit status when the command line asked for
// one of them (or was wrong), nothing when the program is to start as usual.
std::optional<int> runCommandLine(int argc, char* argv[]);
