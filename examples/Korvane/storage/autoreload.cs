// Auto Reload
// Reloads the weapon in hand when its magazine runs empty.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
