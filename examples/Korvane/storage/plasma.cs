// Plasma Rifle Overheat
// The plasma rifle heats up when fired without pause and cools down when idle.
// A plug-in of the Korvane Manager demo, not meant for the game: like Sniper Zoom Steps and
// Mortar Arc Marker it defines Player::onWeaponChange, so that the demo shows a clash.

function PlasmaHeat::onFire(%player)
{
   %player.plasmaHeat += 10;
}

// The rifle cools down while another weapon is in hand.
function Player::onWeaponChange(%player, %weapon)
{
   %player.plasmaCooling = true;
}
