#pragma once

// Every entry of the settings profile, with the defaults its readers supply.
namespace korvane::profile {

inline constexpr char kOrganisation[] = "Vantor";

inline constexpr char kDirectories[] = "Directories";
inline constexpr char kKorvane[] =
    "Korvane";                              // Korvane folder, ending in a separator; empty: not set
inline constexpr char kTribes[] = "Tribes"; // Tribes folder, ending in a separator; empty: not set

inline constexpr char kOptions[] = "Options";
inline constexpr char kRefreshPlugins[] = "RefreshPlugins"; // 1: refresh storage at start-up
inline constexpr int kRefreshPluginsDefault = 1;

inline constexpr char kQuickExec[] = "QuickExec";
inline constexpr char kMods[] = "Mods";           // names joined by '\'; empty: not configured
inline constexpr char kDedicated[] = "Dedicated"; // 1: dedicated server
inline constexpr char kExtraCmdLine[] = "ExtraCmdLine"; // appended after one blank

// How tribes.exe runs when it is a Windows program and the system is not Windows.
inline constexpr char kWindowsPrograms[] = "WindowsPrograms";
inline constexpr char kWineCommand[] = "Command"; // as typed, words with blanks in "; empty: wine
inline constexpr char kWinePrefix[] = "Prefix";   // a folder; empty: the one holding Tribes

// The main window's size, position and state as Qt saves them, in base64.
inline constexpr char kWindow[] = "Window";
inline constexpr char kGeometry[] = "Geometry";

inline constexpr char kUpdater[] = "Updater";
inline constexpr char kUrl[] = "URL";
inline constexpr char kDefaultUpdateUrl[] =
    "http://updates.korvane.net/korvane/updates/korvane.upd";
// The server's minisign public keys (the base64 line of each .pub file), separated by blanks;
// empty: nothing is checked. With a key, only what one of them signed is used.
inline constexpr char kPublicKey[] = "PublicKey";
// The plug-ins held at their version, which updates leave alone: their keys as korvane-cli list
// prints them, joined by '\'; empty: none.
inline constexpr char kHeld[] = "Held";

// The newest list time accepted from each list address: one entry per address, named by the
// digest of the address without its user information, holding seconds since 1970.
inline constexpr char kAcceptedLists[] = "AcceptedLists";

} // namespace korvane::profile
