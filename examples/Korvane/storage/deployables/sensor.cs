// Sensor Jammer Warning
// Warns when an enemy sensor jammer covers your base.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
