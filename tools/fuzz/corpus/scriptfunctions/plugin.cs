// Sniper rifle zoom, by someone
$Sniper::Zoom = 5;

function Sniper::onFire(%player, %slot)
{
   %client = Player::getClient(%player);
   echo("function Sniper::fake() is none");  // function Sniper::comment()
   if (%client.zoom) Client::sendMessage(%client, 0, 'Zoomed \'in\'');
}

function Player::onDamage(%this, %type, %value, %pos, %vec, %mom, %vertPos, %quadrant, %object) {
   Sniper::onFire(%this, 0);
}
