// Scout Suit Jets
// Longer jet bursts for light armor, with less energy per second.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
