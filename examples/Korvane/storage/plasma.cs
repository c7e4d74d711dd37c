// Plasma Rifle Overheat
// The plasma rifle heats up when fired without pause and cools down when idle.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
