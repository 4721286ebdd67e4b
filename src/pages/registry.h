// The 27 pages of the program, in tab order. This is the only list of pages.
#pragma once

#include <string>
#include <vector>

#include "script/page.h"

namespace rosgen {

// All pages, index 0 (start page) to 26, built once.
const std::vector<Page>& pages();

// By tab index ("4") or slug ("wan-fixed"); nullptr when there is none.
const Page* find_page(const std::string& index_or_slug);

}  // namespace rosgen
