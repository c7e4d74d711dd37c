// Blaster Tweaks
// Faster bolts and a brighter muzzle flash for the blaster.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
