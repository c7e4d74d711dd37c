// Force Field Timer
// Counts down until a deployed force field runs out.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
