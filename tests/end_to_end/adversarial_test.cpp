// Hostile INI files on the built launcher: files that are no files, 100 MB
// of comments, lines of 2 to 20 MB, NUL bytes and invalid UTF-8, and many entries
// extending one variable. Every case must end in a defined way (the target
// started with exactly what was asked, or a clear message and a status) in
// bounded time and memory. adversarial_launch_test.cpp does the same for
// command lines, PATH and targets.
//
// Peak memory is the peak resident set from wait4() of the launcher and the
// target it became, started by the small peak memory probe so that the
// test's own pages do not count. Costs are compared with those of a small
// INI run rather than with absolute numbers; the costly cases print their
// figures (docs/reliability.md quotes them).
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/end_to_end/installation.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr long kMiB = 1024;  // in the KiB of ru_maxrss

// How many times its length a line of the INI may cost: held while read (the
// read buffer grows by doubling), and when handed on also in the settings,
// the target vector, the joined command line and the split argv. Under
// AddressSanitizer freed blocks stay in quarantine for a while.
#if defined(__SANITIZE_ADDRESS__)
#define LAUNCHER_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LAUNCHER_UNDER_ASAN 1
#endif
#endif
#ifdef LAUNCHER_UNDER_ASAN
constexpr long kLineFactorRead = 6, kLineFactorHandedOn = 16;
#else
constexpr long kLineFactorRead = 3, kLineFactorHandedOn = 8;
#endif
const std::string kExecvFailed = "Error when executing execv: ";
const std::string kFailedLoading = "[Error]\nError: Failed Loading Velmora.\n";

using end_to_end_hostile_ini = HostileEndToEnd;

// Writes |head|, |unit| repeated until at least |bytes| are written, then
// |tail|, without holding the file in memory: a forked child counts the
// test's own pages, and the sanitizers keep freed memory for a while.
void write_big_file(const std::string& path, const std::string& head,
                    const std::string& unit, size_t bytes, const std::string& tail) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << head;
  std::string block;
  while (block.size() < (1 << 20)) block += unit;
  for (size_t written = 0; written < bytes; written += block.size()) out << block;
  out << tail;
  ASSERT_TRUE(out.flush()) << "cannot write " << path;
}

}  // namespace

TEST_F(end_to_end_hostile_ini, NotARegularFileIsMissingWithoutHangOrGrowth) {
  install_->write_ini("[Settings]\nVMArgs=-Dsmall\n");
  RunResult small = launch({});
  ASSERT_EQ(small.exit_status, kTargetExitStatus);

  const std::string ini = install_->ini_path(), root = install_->root();
  fs::create_directory(root + "/dir");
  struct {
    std::string name;
    std::function<void()> make;
  } cases[] = {
      {"directory", [&] { fs::create_directory(ini); }},
      {"FIFO with no writer", [&] { ASSERT_EQ(mkfifo(ini.c_str(), 0644), 0); }},
      {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", ini); }},
      {"link to /dev/urandom", [&] { fs::create_symlink("/dev/urandom", ini); }},
      {"link to a directory", [&] { fs::create_symlink(root + "/dir", ini); }},
      {"dangling link", [&] { fs::create_symlink(root + "/nothing", ini); }},
      {"link to itself", [&] { fs::create_symlink(ini, ini); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(ini);
    c.make();
    RunResult result = launch({});
    expect_no_start(result, 1, missing_ini());
    EXPECT_LT(result.seconds, 2.0);
    EXPECT_LE(result.peak_rss_kib, small.peak_rss_kib + kMiB);
  }

  // A link to a regular file is followed like the file itself.
  fs::remove_all(ini);
  install_->write_file(root + "/elsewhere.ini", "[Settings]\nVMArgs=-Dlinked\n");
  fs::create_symlink(root + "/elsewhere.ini", ini);
  EXPECT_EQ(launch({}).exit_status, kTargetExitStatus);
  EXPECT_EQ(started().arguments, target_argv({}, {"-Dlinked"}));
}

TEST_F(end_to_end_hostile_ini, HundredMegabytesOfCommentsCostNoMoreThanASmallFile) {
  const std::string head = "[Settings]\nVMArgs=-Dfirst\n";
  const std::string tail = "VMArgs=-Dlast\n[Environment Variables]\nLAST=<CURRDIR>\n";
  install_->write_ini(head + tail);
  RunResult small = launch({});
  ASSERT_EQ(small.exit_status, kTargetExitStatus);
  print_figures("small INI", small);

  write_big_file(install_->ini_path(), head, "; " + std::string(97, 'c') + "\n", 100 << 20,
                 tail);
  ASSERT_GE(fs::file_size(install_->ini_path()), 100u << 20);
  RunResult big = launch({});
  print_figures("100 MB of comments", big);
  EXPECT_EQ(big.exit_status, kTargetExitStatus);
  Record target = started();
  EXPECT_EQ(target.arguments, target_argv({}, {"-Dfirst", "-Dlast"}));
  EXPECT_EQ(target.variable("LAST"), install_->directory() + "/");
  EXPECT_LE(big.peak_rss_kib, small.peak_rss_kib + 2 * kMiB);
  EXPECT_LT(big.seconds, 20.0);
}

TEST_F(end_to_end_hostile_ini, LongLineCostsAboutItsLength) {
  const size_t length = 10 << 20;
  install_->write_ini("[Settings]\nVMArgs=-Dafter\n");
  RunResult small = launch({});
  ASSERT_EQ(small.exit_status, kTargetExitStatus);

  // A line that is read and dropped; ten times its length takes less than
  // thirty times the time, so that no part of it is read over and over.
  auto comment_line = [&](size_t bytes) {
    write_big_file(install_->ini_path(), ";", "c", bytes, "\n[Settings]\nVMArgs=-Dafter\n");
    RunResult best;
    for (int run = 0; run < 3; ++run) {
      RunResult result = launch({});
      EXPECT_EQ(result.exit_status, kTargetExitStatus);
      if (run == 0 || result.seconds < best.seconds) best = result;
    }
    return best;
  };
  RunResult tenth = comment_line(2 << 20);
  RunResult comment = comment_line(20 << 20);
  print_figures("2 MB comment line, best of 3", tenth);
  print_figures("20 MB comment line, best of 3", comment);
  EXPECT_EQ(started().arguments, target_argv({}, {"-Dafter"}));
  EXPECT_LE(comment.peak_rss_kib, small.peak_rss_kib + kLineFactorRead * 20 * kMiB);
  EXPECT_LT(comment.seconds, 30 * tenth.seconds);

  // A line that is handed on: more copies live at once, and no system takes
  // a single argument of 10 MB, so the start fails with its message.
  write_big_file(install_->ini_path(), "[Settings]\nVMArgs=-D", "v", length, "\n");
  RunResult handed_on = launch({});
  print_figures("10 MB VMArgs line (start refused)", handed_on);
  expect_no_start(handed_on, 1, kExecvFailed + "Argument list too long\n" + kFailedLoading);
  EXPECT_LE(handed_on.peak_rss_kib, small.peak_rss_kib + kLineFactorHandedOn * 10 * kMiB);
  EXPECT_LT(handed_on.seconds, 10.0);
}

TEST_F(end_to_end_hostile_ini, NulBytesAndInvalidUtf8) {
  install_->write_ini(
      "; a comment with a \0 NUL\n"
      "[Settings]\n"
      "VMArgs=-Dutf=\xFF\xFE\xC3\x28\x80\xED\xA0\x80\n"
      "VMArgs=-Dnul=before\0after\n"
      "CustomizationINI=custom\0ization.ini\n"
      "\0VMArgs=-Dhidden-by-leading-nul\n"
      "[Settings\0]\n"
      "VMArgs=-Dignored-section\n"
      "[Environment Variables]\n"
      "NA\0ME=refused name\n"
      "VALUE=refused\0value\n"
      "BYTES=\xC0\xAF\xF8\x88\x80\x80\x80\n"
      "[Settings]\n"
      "VMArgs=-Dlast\n"s);
  RunResult result = launch({});
  // Arguments and environment entries are C strings: a NUL ends what the
  // target can see of an argument, and an assignment holding one is refused
  // (and shown escaped).
  EXPECT_EQ(result.standard_output,
            "Error setting up env variable: NA\\x00ME=refused name\n"
            "Error setting up env variable: VALUE=refused\\x00value\n");
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  Record target = started();
  EXPECT_EQ(target.arguments,
            target_argv({"-plugincustomization", "custom"},
                        {"-Dutf=\xFF\xFE\xC3\x28\x80\xED\xA0\x80", "-Dnul=before", "-Dlast"}));
  EXPECT_EQ(target.variable("BYTES"), "\xC0\xAF\xF8\x88\x80\x80\x80");
  EXPECT_EQ(target.variable("VALUE"), std::nullopt);
}

// Each entry extends what the variable holds. Were the value copied out and
// back each time, the cost would grow with the square of the entries: these
// 6 MB took about 14 s that way.
TEST_F(end_to_end_hostile_ini, ManyAppendsToOneVariableCostLinearTime) {
  write_big_file(install_->ini_path(), "[Environment Variables]\n",
                 "P=" + std::string(150, 'x') + "\n", 6 << 20, "");
  RunResult result = launch({});
  print_figures("6 MB of appends to one variable", result);
  // No system passes on a variable of 6 MB: the start fails, with its message.
  expect_no_start(result, 1, kExecvFailed + "Argument list too long\n" + kFailedLoading);
  EXPECT_LT(result.seconds, 2.0);
}
