// Turret Range Rings
// Draws the range of a deployed turret on the ground while you place it.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
