// Mortar Arc Marker
// Shows where a mortar shell will land before you fire.
// A plug-in of the Korvane Manager demo, not meant for the game: like Sniper Zoom Steps and
// Plasma Rifle Overheat it defines Player::onWeaponChange, so that the demo shows a clash.

function MortarArc::show(%player)
{
   %player.arcShown = true;
}

// The marker goes when another weapon is taken.
function Player::onWeaponChange(%player, %weapon)
{
   %player.arcShown = false;
}
