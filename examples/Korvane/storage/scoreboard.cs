// Team Scoreboard
// A scoreboard sorted by team with captures, kills and deaths.
// A plug-in of the Korvane Manager demo: it does nothing in the game.
