#include "app/linux/CommandLine.h"

#include <gtest/gtest.h>

using CommandLine::Command;

namespace {

struct Case {
    std::vector<std::string> arguments;
    Command command;
    // The options as one text: prefix, then a letter per flag set (e empty, t terminal,
    // n no-open, q quiet, j json, c csv, h html), ">" and the output file when given, then the
    // files; or, for a usage error, a part of its text.
    std::string expected;
};

std::string Describe(const CommandLine::Options& p_Options) {
    if (p_Options.command == Command::UsageError) {
        return p_Options.error;
    }
    std::string text = p_Options.prefix + "|";
    text +=
        p_Options.windows.empty() ? "" : "w=" + p_Options.windows + ",u=" + p_Options.user + "|";
    text += p_Options.empty ? "e" : "";
    text += p_Options.terminal ? "t" : "";
    text += p_Options.noOpen ? "n" : "";
    text += p_Options.quiet ? "q" : "";
    const char* const formats[] = {"", "j", "c", "h"};
    text += formats[static_cast<int>(p_Options.format)];
    text += p_Options.output.empty() ? "" : ">" + p_Options.output;
    for (const std::string& file : p_Options.files) {
        text += "|" + file;
    }
    return text;
}

TEST(CommandLineTest, ParsesEachCase) {
    const Case cases[] = {
        {{}, Command::Run, "|"},
        {{"-h"}, Command::Help, "|"},
        {{"--help", "--bogus"}, Command::Help, "|"},
        {{"--quiet", "--version"}, Command::Version, "|"},
        {{"--prefix", "/p"}, Command::Run, "/p|"},
        {{"--prefix=/p", "--no-open"}, Command::Run, "/p|n"},
        {{"--prefix", "--empty"}, Command::Run, "--empty|"},
        {{"--empty", "--terminal", "--no-open", "-q"}, Command::Run, "|etnq"},
        {{"--quiet", "--terminal"}, Command::Run, "|tq"},
        {{"summary", "a.txt"}, Command::Summary, "||a.txt"},
        {{"--json", "summary", "a.txt"}, Command::Summary, "|j|a.txt"},
        {{"compare", "old", "new", "--json"}, Command::Compare, "|j|old|new"},
        {{"summary", "--", "--json"}, Command::Summary, "||--json"},
        {{"summary", "-"}, Command::Summary, "||-"},
        {{"summary", "--html", "-o", "p.html", "a.txt"}, Command::Summary, "|h>p.html|a.txt"},
        {{"--csv", "--output=r.csv", "summary", "dir"}, Command::Summary, "|c>r.csv|dir"},
        {{"--json", "--json", "compare", "a", "b"}, Command::Compare, "|j|a|b"},
        {{"--windows", "/mnt/c", "--user=Ana"}, Command::Run, "|w=/mnt/c,u=Ana|"},
        {{"--windows=/v", "--user", "a", "--user", "b"}, Command::Run, "|w=/v,u=b|"},
        // Usage errors name what is wrong.
        {{"--bogus"}, Command::UsageError, "unknown option '--bogus'"},
        {{"-x", "--help"}, Command::UsageError, "unknown option '-x'"},
        {{"--prefix"}, Command::UsageError, "'--prefix' needs a folder"},
        {{"--prefix="}, Command::UsageError, "'--prefix' needs a folder"},
        {{"--prefix", "/p", "--empty"}, Command::UsageError, "exclude each other"},
        {{"--json"}, Command::UsageError, "'--json' applies only"},
        {{"-o", "x"}, Command::UsageError, "'-o' applies only"},
        {{"summary", "a", "-o"}, Command::UsageError, "'-o' needs a file"},
        {{"summary", "--csv", "--html", "a"}, Command::UsageError, "exclude each other"},
        {{"compare", "--html", "a", "b"}, Command::UsageError, "compare takes no '--html'"},
        {{"--windows"}, Command::UsageError, "'--windows' needs a folder"},
        {{"--windows", "/v", "--user="}, Command::UsageError, "'--user' needs a profile name"},
        {{"--windows", "/v", "--prefix", "/p"}, Command::UsageError, "exclude each other"},
        {{"--empty", "--windows", "/v"}, Command::UsageError, "exclude each other"},
        {{"--user", "a"}, Command::UsageError, "'--user' applies only with '--windows'"},
        {{"summary", "a", "--windows", "/v"},
         Command::UsageError,
         "no options of a diagnostic run"},
        {{"run"}, Command::UsageError, "unknown command 'run'"},
        {{"--", "--help"}, Command::UsageError, "unknown command '--help'"},
        {{"summary"}, Command::UsageError, "summary takes one log file or folder"},
        {{"summary", "a", "b"}, Command::UsageError, "summary takes one log file or folder"},
        {{"compare", "a"}, Command::UsageError, "compare takes two log files"},
        {{"summary", "a", "--no-open"}, Command::UsageError, "no options of a diagnostic run"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments) {
            shown += " " + argument;
        }
        CommandLine::Options options = CommandLine::Parse(c.arguments);
        EXPECT_EQ(options.command, c.command) << shown;
        std::string described = Describe(options);
        if (c.command == Command::UsageError) {
            EXPECT_NE(described.find(c.expected), std::string::npos) << shown << ": " << described;
        } else if (c.command != Command::Help && c.command != Command::Version) {
            EXPECT_EQ(described, c.expected) << shown;
        }
    }
}

TEST(CommandLineTest, HelpNamesEveryOptionAndTheExitCodes) {
    std::string usage = CommandLine::UsageText();
    for (const char* part :
         {"--prefix DIR", "--windows DIR", "--user NAME", "--empty", "--terminal", "--no-open",
          "-q, --quiet", "summary LOG", "compare OLD NEW", "--json", "--csv", "--html",
          "-o, --output FILE", "summary FOLDER", "--version", "0  the run completed",
          "1  the run failed", "2  usage error", "zanprobe7 7.0.27"}) {
        EXPECT_NE(usage.find(part), std::string::npos) << part;
    }
}

} // namespace
