#pragma once

// Every text the program shows or prints, in one place so that the wording can be checked.
// Each subsystem keeps its own section.
namespace strings {

// ---------------------------------------------------------------------------------------------
// Application and main window, options, start-up

inline constexpr char kAppTitle[] = "Korvane Manager v1.0";

// end of main window texts

// ---------------------------------------------------------------------------------------------
// Description editor and configurations

// end of description editor and configuration texts

// ---------------------------------------------------------------------------------------------
// Launching the game, QuickExec, home page

// end of launch texts

// ---------------------------------------------------------------------------------------------
// Updater

// end of updater texts

// ---------------------------------------------------------------------------------------------
// Command-line tool

// end of command-line texts

} // namespace strings
