// Chat Macros
// Quick team messages on the function keys.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
