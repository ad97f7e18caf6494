// The explanations of findings: rules read from the rules file built into the program
// (FindingRules.txt), each matching a section heading and a line to what the finding means and
// what support can ask the customer to do.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace LogReader {

struct FindingRule {
    std::string name;
    std::string section; // pattern of the heading; empty: any section
    std::string line;    // pattern of the line
    std::string meaning;
    std::string action;
    std::regex sectionPattern;
    std::regex linePattern;
    size_t fileLine = 0; // where the rule begins in its file
};

// Rules from the text of a rules file; throws std::runtime_error naming the line of a rule
// that lacks a field or whose pattern is no regular expression.
std::vector<FindingRule> ParseFindingRules(const std::string& p_Text);

// The rules built into the program.
const std::vector<FindingRule>& FindingRules();

// The first rule that explains a line of a section, or nullptr.
const FindingRule* ExplainFinding(const std::string& p_Heading, const std::string& p_Line);

} // namespace LogReader
