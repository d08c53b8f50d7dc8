// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Links taken from shortcut files: internet shortcuts (".url") and desktop entries.
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

// The address of an internet shortcut's text: the first "URL=" line after the first line holding
// "[INTERNETSHORTCUT]", letters of either case; the address keeps its own. None without one.
std::optional<std::string> UrlOfInternetShortcut(std::string_view text);

// What a chosen or dropped file gives as a link: a ".url" file its address (none when it has
// none), a desktop entry of Type=Link its URL, anything else its own path.
std::optional<std::string> LinkOfFile(const std::string& path);

} // namespace quillo
