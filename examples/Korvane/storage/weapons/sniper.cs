// Sniper Zoom Steps
// Three zoom steps for the sniper rifle, cycled with the zoom key.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
