// Command-line quoting by the conventions of the Windows C runtime, which
// every target program uses to split its command line back into arguments.
#ifndef LAUNCHER_COMMANDLINE_QUOTING_H_
#define LAUNCHER_COMMANDLINE_QUOTING_H_

#include <string>
#include <vector>

// Wraps |text| in double quotes so that it splits back to exactly |text|:
// backslashes before an inner quote or before the closing quote are doubled
// and inner quotes are escaped with a backslash.
std::string wrap_in_quotes(const std::string& text);

// |text| itself when it splits back to one argument as it stands, otherwise
// wrap_in_quotes(text): empty text and text with a blank, tab, line feed,
// vertical tab or double quote are wrapped.
std::string quote_argument(const std::string& text);

// The elements joined with single blanks, as the platform's program start
// joins them.
std::string join_command_line(const std::vector<std::string>& elements);

// Splits a command line into argv as the current Windows C runtime does:
// the program name is read up to the first blank or tab outside quotes with
// no escapes; after it 2n backslashes before a quote give n and the quote
// delimits, 2n+1 give n and a literal quote, other backslashes are literal,
// "" inside a quoted part is a literal quote, blanks and tabs separate.
std::vector<std::string> split_command_line(const std::string& line);

// The arguments that follow the program name, split by the same rules;
// |line| holds only those arguments.
std::vector<std::string> split_arguments(const std::string& line);

// The argv that the program at |path| takes from the command line that
// |elements| join into: its name is |path| itself, then the arguments as it
// splits them after the first element. (Not the parse of the quoted first
// element, which would go wrong for a path holding a double quote, possible
// on POSIX, and take the user's arguments with it.)
std::vector<std::string> program_argv(const std::string& path,
                                      const std::vector<std::string>& elements);

#endif  // LAUNCHER_COMMANDLINE_QUOTING_H_
