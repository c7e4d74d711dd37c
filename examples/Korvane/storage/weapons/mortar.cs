// Mortar Arc Marker
// Shows where a mortar shell will land before you fire.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
