// The program's own name, addresses and fixed texts that several parts share.
#pragma once

#include "rosgen_version.h"

namespace rosgen::product {

inline constexpr const char* kName = "rosgen";
inline constexpr const char* kVersion = ROSGEN_VERSION;
inline constexpr const char* kWebSite = "http://rosgen.example.org";
inline constexpr const char* kMail = "rosgen@example.org";
inline constexpr const char* kStudio = "rosgen工作室";
// The instant-messenger contact link of the help menu.
inline constexpr const char* kContactLink = "tencent://message/?uin=10000&Site=rosgen.example.org&Menu=yes";
// The main window's title; it also names the single-instance guard, so it is
// the same for every copy of one version.
inline constexpr const char* kTitle =
    "rosgen(RouterOS 2.9.X/3.X系列通用脚本) V" ROSGEN_VERSION_SHORT " 综合修正版 http://rosgen.example.org";

}  // namespace rosgen::product
