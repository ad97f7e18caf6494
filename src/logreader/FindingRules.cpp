#include "logreader/FindingRules.h"

#include <stdexcept>

namespace LogReader {

// The rules file's text, generated from FindingRules.txt at build time.
extern const unsigned char kFindingRulesText[];
extern const size_t kFindingRulesSize;

namespace {

std::runtime_error RuleError(size_t p_Line, const std::string& p_Why) {
    return std::runtime_error("rules file, line " + std::to_string(p_Line) + ": " + p_Why);
}

void Finish(FindingRule& p_Rule, std::vector<FindingRule>& p_Rules) {
    if (p_Rule.name.empty() || p_Rule.line.empty() || p_Rule.meaning.empty() ||
        p_Rule.action.empty()) {
        throw RuleError(p_Rule.fileLine, "a rule needs rule, line, meaning and action");
    }
    try {
        p_Rule.sectionPattern = std::regex(p_Rule.section, std::regex::ECMAScript);
        p_Rule.linePattern = std::regex(p_Rule.line, std::regex::ECMAScript);
    } catch (const std::regex_error& error) {
        throw RuleError(p_Rule.fileLine, std::string("a pattern is wrong: ") + error.what());
    }
    p_Rules.push_back(std::move(p_Rule));
    p_Rule = FindingRule();
}

} // namespace

std::vector<FindingRule> ParseFindingRules(const std::string& p_Text) {
    std::vector<FindingRule> rules;
    FindingRule rule;
    std::string* field = nullptr;
    size_t number = 0;
    size_t start = 0;
    while (start <= p_Text.size()) {
        size_t end = p_Text.find('\n', start);
        std::string line =
            p_Text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? p_Text.size() + 1 : end + 1;
        ++number;
        if (line.rfind('#', 0) == 0) {
            continue;
        }
        if (line.empty()) {
            if (!rule.name.empty() || rule.fileLine != 0) {
                Finish(rule, rules);
            }
            field = nullptr;
            continue;
        }
        if (line.rfind("  ", 0) == 0) {
            if (field == nullptr) {
                throw RuleError(number, "a continued line without a field before it");
            }
            *field += " " + line.substr(2);
            continue;
        }
        size_t colon = line.find(": ");
        std::string key = line.substr(0, colon);
        FindingRule& current = rule;
        if (current.fileLine == 0) {
            current.fileLine = number;
        }
        field = key == "rule"      ? &current.name
                : key == "section" ? &current.section
                : key == "line"    ? &current.line
                : key == "meaning" ? &current.meaning
                : key == "action"  ? &current.action
                                   : nullptr;
        if (colon == std::string::npos || field == nullptr) {
            throw RuleError(number, "not a field: " + line);
        }
        if (!field->empty()) {
            throw RuleError(number, "the field " + key + " twice");
        }
        *field = line.substr(colon + 2);
    }
    if (rule.fileLine != 0) {
        Finish(rule, rules);
    }
    return rules;
}

const std::vector<FindingRule>& FindingRules() {
    static const std::vector<FindingRule> rules = ParseFindingRules(
        std::string(reinterpret_cast<const char*>(kFindingRulesText), kFindingRulesSize));
    return rules;
}

const FindingRule* ExplainFinding(const std::string& p_Heading, const std::string& p_Line) {
    for (const FindingRule& rule : FindingRules()) {
        if ((rule.section.empty() || std::regex_search(p_Heading, rule.sectionPattern)) &&
            std::regex_search(p_Line, rule.linePattern)) {
            return &rule;
        }
    }
    return nullptr;
}

} // namespace LogReader
