// The program's web addresses, kept in one place.
#pragma once

namespace paipan {

inline constexpr const char* kHomeSite = "http://www.example.com";
inline constexpr const char* kHomeSiteAlt = "http://example.com";
inline constexpr const char* kForumSite = "http://forum.example.org";

}  // namespace paipan
