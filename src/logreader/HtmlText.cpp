#include "logreader/HtmlText.h"

namespace LogReader {

std::string HtmlEscape(const std::string& p_Utf8) {
    std::string out;
    out.reserve(p_Utf8.size());
    for (char c : p_Utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

const char kPageStyle[] =
    "body{font-family:system-ui,sans-serif;margin:1.5em;color:#1d1d1f;max-width:70em}"
    "h1{font-size:1.4em;margin:0 0 .3em}h2{font-size:1.15em;margin:1.4em 0 .5em}"
    ".machine{font-weight:600}.counts{margin:.2em 0}.note{color:#6a4a00}"
    ".finding{border-left:4px solid #b3261e;padding:.3em .8em;margin:.6em 0;background:#fdf3f2}"
    ".finding .where{color:#555;font-size:.9em}.finding code{display:block;margin:.2em 0;"
    "white-space:pre-wrap;word-break:break-all}.finding p{margin:.2em 0}"
    "details{border:1px solid #ccc;border-radius:4px;margin:.3em 0;padding:.2em .6em}"
    "details.look{border-color:#b3261e}summary{cursor:pointer}"
    ".mark{display:inline-block;min-width:8.5em;font-weight:600}"
    ".look .mark{color:#b3261e}.passed .mark{color:#1b6e20}"
    "pre,code{font-family:ui-monospace,Consolas,monospace;font-size:.88em}"
    "pre{white-space:pre-wrap;word-break:break-all;margin:.4em 0}"
    "table{border-collapse:collapse;margin:.5em 0}th,td{border:1px solid #ccc;padding:.2em .5em;"
    "text-align:left;vertical-align:top}th{background:#f2f2f2}td.n{text-align:right}";

} // namespace LogReader
