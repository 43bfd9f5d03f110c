// The product this program installs: its maker, name, version and edition, as the
// texts, the uninstall log's header and the IDEs' package list show them.
#pragma once

inline constexpr const wchar_t* MakerName = L"Brindlecraft";
inline constexpr const wchar_t* ProductName = L"Corvane library";
inline constexpr const wchar_t* ProductVersion = L"4.07";
// ProductVersion as numbers, for the uninstall entry's "VersionMajor" and "VersionMinor".
inline constexpr int ProductVersionMajor = 4;
inline constexpr int ProductVersionMinor = 7;
inline constexpr const wchar_t* EditionText = L"trial Delphi version";
inline constexpr const wchar_t* ProductWord = L"Corvane";
inline constexpr const wchar_t* ProductDescription =
    L"Corvane library - collection of components for working with the application settings.\r\n\r\n";

// The maker's web site: the frame's link label opens it, the uninstall entry names it.
inline constexpr const wchar_t* MakerWebSite = L"https://www.brindlecraft.example/";
