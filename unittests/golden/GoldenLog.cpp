#include "golden/GoldenLog.h"

#include "logformat/LogFormat.h"

#include <fstream>
#include <sstream>

namespace GoldenLog {

const std::set<std::string> kComponentSections = {"Windows Tests",
                                                  "VB6 System Tests",
                                                  "VC2013 System Tests",
                                                  "Basic Excel Information",
                                                  "Excel Automatic Startup Directories",
                                                  "Basic Project Information",
                                                  "MRL 7.x System Tests",
                                                  "ORVEX 7.x Tests"};

std::vector<std::string> SplitLines(const std::string& p_Text, const std::string& p_End) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = p_Text.find(p_End, start)) != std::string::npos;
         start = end + p_End.size()) {
        lines.push_back(p_Text.substr(start, end - start));
    }
    if (start < p_Text.size()) {
        lines.push_back(p_Text.substr(start));
    }
    return lines;
}

std::vector<std::string> ReadExpected(const std::string& p_Name) {
    std::ifstream file(std::string(ZANPROBE_GOLDEN_DIR) + "/" + p_Name, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return SplitLines(content.str(), "\n");
}

std::vector<std::string> SelectSections(const std::vector<std::string>& p_Lines,
                                        const std::set<std::string>& p_Headings,
                                        bool p_KeepListed) {
    const std::string stars = LogFormat::HeadingStars();
    const std::string dashes = LogFormat::HeadingHyphens();
    std::vector<std::string> kept;
    bool keeping = !p_KeepListed;
    for (size_t i = 0; i < p_Lines.size(); ++i) {
        bool sectionStart = i + 5 < p_Lines.size() && p_Lines[i].empty() &&
                            p_Lines[i + 1].empty() && p_Lines[i + 2].empty() &&
                            p_Lines[i + 3] == stars && p_Lines[i + 5] == dashes;
        bool terminator = i + 3 == p_Lines.size() && p_Lines[i].empty();
        if (sectionStart) {
            keeping = (p_Headings.count(p_Lines[i + 4]) > 0) == p_KeepListed;
        } else if (terminator) {
            keeping = !p_KeepListed;
        }
        if (keeping) {
            kept.push_back(p_Lines[i]);
        }
    }
    return kept;
}

} // namespace GoldenLog
