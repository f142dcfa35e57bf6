#include "document/recent_list.h"

#include <algorithm>

namespace tarnwick {
namespace {

std::string BaseName(const std::string &fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string EscapeAmpersands(const std::string &text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out.push_back(c);
    if (c == '&')
      out.push_back('&');
  }
  return out;
}

} // namespace

std::vector<std::string> WithRecent(std::vector<std::string> list, const std::string &fileName) {
  list = WithoutRecent(std::move(list), fileName);
  list.insert(list.begin(), fileName);
  if (list.size() > MaxRecentLayouts)
    list.resize(MaxRecentLayouts);
  return list;
}

std::vector<std::string> WithoutRecent(std::vector<std::string> list, const std::string &fileName) {
  list.erase(std::remove(list.begin(), list.end(), fileName), list.end());
  return list;
}

std::vector<std::string> RecentCaptions(const std::vector<std::string> &list) {
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string base = BaseName(list[i]);
    const bool shared = std::count_if(list.begin(), list.end(), [&](const std::string &other) {
                          return BaseName(other) == base;
                        }) > 1;
    const std::string shown = shared || base.empty() ? list[i] : base;
    captions.push_back("&" + std::to_string(i + 1) + " " + EscapeAmpersands(shown));
  }
  return captions;
}

} // namespace tarnwick
