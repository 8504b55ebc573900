// The one check of a web address, for the browser and for the base addresses of the web
// sources in the settings.
#pragma once

#include <string_view>

// True when the text holds a blank or a control byte, which would end a request line or
// start a header of its own.
bool UrlHasBlankOrControl(std::string_view url);
// True for http:// or https://, then a host, and no blank or control byte anywhere.
bool IsWellFormedWebUrl(std::string_view url);
