// A page as the front ends without widgets see it: `rosgen show --json` prints
// it and the web edition renders it, so the two cannot drift apart.
#pragma once

#include <nlohmann/json.hpp>

#include "script/page.h"

namespace rosgen {

// What the page is; its fields with their kinds, defaults and start-up states; its first line
// list (as "list", kept for scripts written against it), its buttons, all its lists; the output
// panel's designer names; and its layout: groups, rows, flows, columns, notes, top to bottom.
nlohmann::ordered_json describe_page(const Page& page);

// The task pages grouped as the window's menus group them: [{title, pages: [{index, slug, text}]}].
nlohmann::ordered_json page_menus();

}  // namespace rosgen
