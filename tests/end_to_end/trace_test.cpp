// The trace and the dry run of the built launcher.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/end_to_end/installation.h"

namespace {

class end_to_end_trace : public EndToEnd {
 protected:
  void SetUp() override {
    EndToEnd::SetUp();
    install_->write_ini(
        "[Settings]\nVMArgs=-Xmx1g\n[Environment Variables]\nTOOLS=<CURRDIR>tools\n");
  }
  std::string trace_file() const { return install_->root() + "/trace.log"; }

  Strings trace_lines(const std::string& text) const {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

// Traced to a file, the run is exactly the untraced one, and the trace tells
// where the settings came from and what the program receives.
TEST_F(end_to_end_trace, FileTraceShowsTheRunAndChangesNothing) {
  const Strings arguments = {"-data", "My Work", "", "a\"b"};
  const RunResult plain = launch(arguments);
  const Record untraced = started();

  environment_["VELMORA_LAUNCHER_TRACE"] = trace_file();
  const RunResult traced = launch(arguments);
  EXPECT_EQ(traced.exit_status, plain.exit_status);
  EXPECT_EQ(traced.standard_error, plain.standard_error);
  EXPECT_EQ(started().arguments, untraced.arguments);
  EXPECT_EQ(started().variable("TOOLS"), untraced.variable("TOOLS"));

  struct stat status;
  ASSERT_EQ(stat(trace_file().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  std::ifstream in(trace_file());
  const Strings lines = trace_lines({std::istreambuf_iterator<char>(in), {}});
  const std::string directory = install_->directory() + "/";
  Strings expected = {"launcher: INI file \"" + install_->ini_path() + "\"",
                      "launcher: \"TOOLS\" set: unset -> \"" + directory + "tools\""};
  for (size_t i = 0; i < untraced.arguments.size(); ++i) {
    expected.push_back("launcher: target argument " + std::to_string(i) + ": \"" +
                       untraced.arguments[i] + "\"");
  }
  auto next = lines.begin();
  for (const std::string& line : expected) {
    auto found = std::find(next, lines.end(), line);
    EXPECT_NE(found, lines.end()) << "missing or out of order: " << line;
    if (found != lines.end()) next = found;
  }
}

// A dry run starts nothing: it checks what a start would check and ends
// with 0, or as a failed start does.
TEST_F(end_to_end_trace, DryRunChecksAndStartsNothing) {
  environment_["VELMORA_LAUNCHER_DRY_RUN"] = "1";
  RunResult result = launch({"-clean"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_FALSE(read_record(install_->record_file())) << "the target was started";
  const Strings lines = trace_lines(result.standard_error);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "launcher: target argument 3: \"-clean\""),
            lines.end())
      << result.standard_error;

  std::filesystem::permissions(install_->target(), std::filesystem::perms::owner_read);
  result = launch({"-clean"});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_NE(result.standard_error.find("Error when executing execv: Permission denied\n"),
            std::string::npos)
      << result.standard_error;
  EXPECT_NE(result.standard_error.find("[Error]\nError: Failed Loading Velmora."),
            std::string::npos);
  EXPECT_FALSE(read_record(install_->record_file()));
}

// A trace that cannot be written, and values that are not paths, make no
// file and change nothing else.
TEST_F(end_to_end_trace, UnusableTraceSettingsChangeNothing) {
  const RunResult plain = launch({"-clean"});
  const Strings untraced = started().arguments;
  const std::string cwd = install_->root() + "/cwd";
  std::filesystem::create_directories(cwd);
  for (const std::string& value :
       {install_->root() + "/no/such/dir/trace.log", install_->root(), std::string("0"),
        std::string("")}) {
    SCOPED_TRACE(value);
    environment_["VELMORA_LAUNCHER_TRACE"] = value;
    const RunResult result = launch({"-clean"}, "", cwd);
    EXPECT_EQ(result.exit_status, plain.exit_status);
    EXPECT_EQ(result.standard_error, plain.standard_error);
    EXPECT_EQ(started().arguments, untraced);
  }
  environment_["VELMORA_LAUNCHER_TRACE"] = "trace.log";
  const RunResult to_error = launch({"-clean"}, "", cwd);
  EXPECT_NE(to_error.standard_error.find("launcher: version "), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(cwd)) << "a file in the current directory";
}

}  // namespace
