// Korvane: the modification's own script. Korvane Manager only looks for it to
// recognise the Korvane folder.
