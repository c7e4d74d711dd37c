// Sniper Zoom Steps
// Three zoom steps for the sniper rifle, cycled with the zoom key.
// A plug-in of the Korvane Manager demo, not meant for the game: like Mortar Arc Marker and
// Plasma Rifle Overheat it defines Player::onWeaponChange, so that the demo shows a clash.

function SniperZoom::nextStep(%player)
{
   %player.zoomStep = (%player.zoomStep + 1) % 3;
}

// Back to the first step when another weapon is taken.
function Player::onWeaponChange(%player, %weapon)
{
   %player.zoomStep = 0;
}
