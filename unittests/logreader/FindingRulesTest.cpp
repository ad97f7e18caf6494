#include "logreader/FindingRules.h"
#include "logreader/LogSummary.h"
#include "logreader/TestLogs.h"

#include "golden/GoldenLog.h"
#include "logformat/LogFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace LogReader;

namespace {

// The texts the checks write: the wide string literals of the check modules, adjacent ones
// joined as the compiler joins them; with p_Composed also the lines the modules make of them
// with their "Status: " and through the log's failure line.
std::vector<std::string> CheckTexts(bool p_Composed = false) {
    std::vector<std::string> texts;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(ZANPROBE_SOURCE_DIR "/checks")) {
        if (entry.path().extension() != ".cpp") {
            continue;
        }
        std::ifstream file(entry.path());
        std::stringstream content;
        content << file.rdbuf();
        const std::string source = content.str();
        size_t at = source.find("L\"");
        while (at != std::string::npos) {
            std::string text;
            while (at != std::string::npos && source.compare(at, 2, "L\"") == 0) {
                size_t i = at + 2;
                for (; i < source.size() && source[i] != '"'; ++i) {
                    if (source[i] == '\\') {
                        char escaped = source[++i];
                        text += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped;
                    } else {
                        text += source[i];
                    }
                }
                at = source.find_first_not_of(" \n", i + 1);
            }
            texts.push_back(text);
            if (p_Composed && source.find("L\"Status: \"") != std::string::npos) {
                texts.push_back("Status: " + text);
            }
            if (p_Composed && source.find("->Failure(") != std::string::npos) {
                texts.push_back(LogFormat::kFailurePrefix + text);
            }
            at = source.find("L\"", at);
        }
    }
    return texts;
}

// A literal that reports a failure, a missing item or a status that is not a pass.
bool IsFindingText(const std::string& p_Text) {
    for (const char* word :
         {"Failed", " failed", "not found", "does not exist", "Unable to", "Inconclusive"}) {
        if (p_Text.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A rule's line pattern as plain text: anchors and the backslashes of escapes left out.
std::string PlainPattern(const std::string& p_Pattern) {
    std::string plain;
    for (size_t i = 0; i < p_Pattern.size(); ++i) {
        char c = p_Pattern[i];
        if (c == '\\' && i + 1 < p_Pattern.size()) {
            plain += p_Pattern[++i];
        } else if (c != '^' && c != '$') {
            plain += c;
        }
    }
    return plain;
}

std::string Trimmed(const std::string& p_Text) {
    size_t first = p_Text.find_first_not_of(" (:");
    size_t last = p_Text.find_last_not_of(" (:");
    return first == std::string::npos ? "" : p_Text.substr(first, last - first + 1);
}

struct GoldenFinding {
    std::string heading;
    std::string text;
};

// Every finding of the golden logs, with its section's heading.
std::vector<GoldenFinding> GoldenFindings() {
    std::vector<GoldenFinding> findings;
    for (const char* name :
         {"components-32bit.log", "components-64bit.log", "inspection-64bit.log",
          "whole-32bit-minimal.log", "whole-64bit-office32.log", "whole-64bit.log"}) {
        std::vector<std::string> lines = std::string(name).rfind("components", 0) == 0
                                             ? TestLogs::WholeLog(name)
                                             : GoldenLog::ReadExpected(name);
        ReadResult read = ReadReportLog(TestLogs::Bytes(lines));
        EXPECT_TRUE(read.ok) << name << ": " << read.error;
        for (const SectionFindings& section : Summarize(read.log).sections) {
            for (const Finding& finding : section.findings) {
                findings.push_back({section.heading, finding.line.text});
            }
        }
    }
    return findings;
}

bool Matches(const FindingRule& p_Rule, const std::string& p_Heading, const std::string& p_Line) {
    return (p_Rule.section.empty() || std::regex_search(p_Heading, p_Rule.sectionPattern)) &&
           std::regex_search(p_Line, p_Rule.linePattern);
}

TEST(FindingRulesTest, EveryFindingTheChecksCanWriteHasARule) {
    std::vector<GoldenFinding> golden = GoldenFindings();
    ASSERT_GT(golden.size(), 20u);
    for (const GoldenFinding& finding : golden) {
        EXPECT_NE(ExplainFinding(finding.heading, finding.text), nullptr)
            << "[" << finding.heading << "] " << finding.text;
    }
    size_t findingTexts = 0;
    for (const std::string& text : CheckTexts()) {
        if (!IsFindingText(text)) {
            continue;
        }
        ++findingTexts;
        bool covered = false;
        for (const FindingRule& rule : FindingRules()) {
            covered = covered || std::regex_search(text, rule.linePattern) ||
                      PlainPattern(rule.line).find(Trimmed(text)) != std::string::npos;
        }
        for (const GoldenFinding& finding : golden) {
            covered = covered || (finding.text.find(text) != std::string::npos &&
                                  ExplainFinding(finding.heading, finding.text) != nullptr);
        }
        EXPECT_TRUE(covered) << "no rule for the check's text \"" << text << "\"";
    }
    EXPECT_GT(findingTexts, 20u);
}

TEST(FindingRulesTest, EveryRuleMatchesSomethingTheChecksCanWrite) {
    std::vector<GoldenFinding> golden = GoldenFindings();
    std::vector<std::string> texts = CheckTexts(true);
    for (const FindingRule& rule : FindingRules()) {
        bool used = false;
        for (const GoldenFinding& finding : golden) {
            used = used || Matches(rule, finding.heading, finding.text);
        }
        // A text of the checks that the pattern matches or spells out, long enough to be the
        // check's own rather than a word every failure has.
        for (const std::string& text : texts) {
            used = used || (Trimmed(text).size() >= 10 &&
                            (std::regex_search(text, rule.linePattern) ||
                             PlainPattern(rule.line).find(Trimmed(text)) != std::string::npos));
        }
        EXPECT_TRUE(used) << "the rule \"" << rule.name << "\" (line " << rule.fileLine
                          << ") matches nothing the checks write";
    }
}

TEST(FindingRulesTest, ReadsRulesAndRefusesBrokenOnes) {
    std::vector<FindingRule> rules =
        ParseFindingRules("# comment\n\nrule: a\nsection: ^S$\n"
                          "line: x+\nmeaning: one\n  two\naction: do\n\n"
                          "rule: b\nline: y\nmeaning: m\naction: a\n");
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].meaning, "one two");
    EXPECT_EQ(rules[1].fileLine, 10u);
    EXPECT_TRUE(Matches(rules[0], "S", "axxb"));
    EXPECT_FALSE(Matches(rules[0], "T", "axxb"));
    for (const char* broken :
         {"rule: a\nline: (\nmeaning: m\naction: a\n", "rule: a\nmeaning: m\naction: a\n",
          "rule: a\nbogus: b\n", "rule: a\nrule: b\n"}) {
        EXPECT_THROW(ParseFindingRules(broken), std::runtime_error) << broken;
    }
}

} // namespace
