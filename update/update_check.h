#pragma once
// The update check: fetches the maker's manifest (MakerSiteBase +
// "/api/kuaidi.txt") and tells the user whether a newer version exists.

// Click of 按钮1.
void Update_Check();
// The version the check compares the manifest's with.
inline constexpr const char* UpdateOwnVersion = "1.0";
