// Text for the log reader's pages: UTF-8 escaped for HTML, so that nothing from a log can make
// an element, an attribute or a character reference of the page.
#pragma once

#include <string>

namespace LogReader {

// UTF-8 text as HTML text or attribute value: & < > " ' as character references.
std::string HtmlEscape(const std::string& p_Utf8);

// The page's style sheet, inline (a page fetches nothing).
extern const char kPageStyle[];

} // namespace LogReader
