#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick {

// The layouts last opened or saved, newest first, as full file names.
inline constexpr std::size_t MaxRecentLayouts = 8;

// `fileName` moved (or added) to the front; the oldest entries beyond the limit drop off.
std::vector<std::string> WithRecent(std::vector<std::string> list, const std::string &fileName);
std::vector<std::string> WithoutRecent(std::vector<std::string> list, const std::string &fileName);

// The menu captions of the list: "&1 amp.twk" .. "&8 ...", the access number first. A name
// that two entries share is shown with its folder, so the entries stay apart; an "&" in a
// name is doubled so that it shows as itself.
std::vector<std::string> RecentCaptions(const std::vector<std::string> &list);

} // namespace tarnwick
