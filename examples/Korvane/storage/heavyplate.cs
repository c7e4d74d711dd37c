// Heavy Plate Colours
// Team colours on heavy armor plates.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
