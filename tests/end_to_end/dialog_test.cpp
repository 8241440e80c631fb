// Desktop dialogs of the built launcher: stand-in dialog tools on PATH log
// how they were started; no display is needed.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <gtest/gtest.h>

#include "tests/end_to_end/installation.h"

namespace {

namespace fs = std::filesystem;

// One start of a stand-in tool.
struct DialogCall {
  std::string tool;
  Strings arguments;    // after its name
  std::string streams;  // where its standard input, output and error lead
  std::string probe;    // its PROBE variable, "unset" without one
  bool closed = false;  // it ended before anything else was started
};

class end_to_end_dialogs : public EndToEnd {
 protected:
  void SetUp() override { prepare("My Product"); }

  // A fresh installation in |directory_name|, a display, PROBE=start, and
  // PATH leading to the (so far empty) tool directory only.
  void prepare(const std::string& directory_name) {
    reinstall("launcher", directory_name);
    environment_["DISPLAY"] = ":75";
    environment_["PROBE"] = "start";
    environment_["PATH"] = tools();
    fs::create_directories(tools());
  }

  std::string tools() const { return install_->root() + "/tools"; }
  std::string log() const { return install_->root() + "/dialogs"; }

  // A stand-in |name| in |directory| (by default tools()) that logs its
  // start, waits a little as a user would, logs its end, then runs |ending|.
  void add_tool(const std::string& name, std::string directory = "",
                const std::string& ending = "exit 0") const {
    if (directory.empty()) directory = tools();
    const std::string path = directory + "/" + name;
    install_->write_file(
        path,
        "#!/bin/sh\nexec 3>>'" + log() + "'\n"
        "printf '%s\\0' call \"${0##*/}\" \"$#\" \"$@\" "
        "\"$(/bin/readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\" "
        "\"${PROBE-unset}\" >&3\n"
        "/bin/sleep 0.1\nprintf 'closed\\0' >&3\n" + ending + "\n");
    fs::permissions(path, fs::perms::owner_all);
  }

  // The tools started since the last call, in order.
  std::vector<DialogCall> dialogs() const {
    std::ifstream in(log(), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    std::remove(log().c_str());
    Strings tokens;
    for (size_t start = 0, end; (end = content.find('\0', start)) != std::string::npos;
         start = end + 1) {
      tokens.push_back(content.substr(start, end - start));
    }
    std::vector<DialogCall> calls;
    for (size_t i = 0; i < tokens.size();) {
      size_t count = 0;
      if (tokens[i] != "call" || i + 3 > tokens.size() ||
          (count = std::stoul(tokens[i + 2])) + i + 5 > tokens.size()) {
        ADD_FAILURE() << "malformed dialog log at token " << i;
        break;
      }
      DialogCall call;
      call.tool = tokens[i + 1];
      call.arguments.assign(tokens.begin() + i + 3, tokens.begin() + i + 3 + count);
      i += 3 + count;
      call.streams = tokens[i++];
      call.probe = tokens[i++];
      call.closed = i < tokens.size() && tokens[i] == "closed";
      if (call.closed) ++i;
      calls.push_back(call);
    }
    return calls;
  }

  // Launches with the standard stream |descriptor| on a pseudo-terminal
  // and the others as launch() has them.
  RunResult launch_on_terminal(const Strings& arguments, int descriptor) {
    int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(terminal, 0);
    EXPECT_EQ(grantpt(terminal), 0);
    EXPECT_EQ(unlockpt(terminal), 0);
    Invocation invocation;
    invocation.program = "/bin/sh";
    invocation.arguments = {"sh", "-c",
                            "exec \"$0\" \"$@\" " + std::to_string(descriptor) + "<>" +
                                ptsname(terminal),
                            install_->launcher()};
    invocation.arguments.insert(invocation.arguments.end(), arguments.begin(),
                                arguments.end());
    for (const auto& [name, value] : environment_) {
      invocation.environment.push_back(name + "=" + value);
    }
    RunResult result = run_program(invocation);
    close(terminal);
    return result;
  }
};

// The message block a zenity call shows, as standard error has it.
std::string as_on_standard_error(const DialogCall& call) {
  if (call.arguments.size() != 4) return "(not a zenity call)";
  std::string block = "[" + call.arguments[2].substr(8) + "]\n" + call.arguments[3].substr(7);
  return block.back() == '\n' ? block : block + "\n";
}

TEST_F(end_to_end_dialogs, MessagesReachTheToolWithCaptionTextAndKind) {
  const struct {
    const char* name;
    const char* directory;  // escapes show as on standard error
    Strings arguments;
    const char* ini;  // null: none
    int status;
    const char* kind;
  } cases[] = {
      {"missing INI", "My\x1b[31mProduct", {}, nullptr, 1, "--error"},
      {"usage", "My Product", {"-help"}, "[Settings]\n", 0, "--info"},
      {"failed hand-over", "My Product", {}, "[Environment Variables]\nPROBE=ini\n", 1,
       "--error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    prepare(c.directory);
    add_tool("zenity");
    if (c.ini != nullptr) install_->write_ini(c.ini);
    fs::remove(install_->target());
    RunResult result = launch(c.arguments);
    EXPECT_EQ(result.exit_status, c.status);
    std::vector<DialogCall> calls = dialogs();
    ASSERT_EQ(calls.size(), 1u);
    const DialogCall& call = calls[0];
    EXPECT_EQ(call.tool, "zenity");
    ASSERT_EQ(call.arguments.size(), 4u);
    EXPECT_EQ(call.arguments[0], c.kind);
    EXPECT_EQ(call.arguments[1], "--no-markup");
    // The message, after what perror wrote for a failed hand-over.
    const std::string block = as_on_standard_error(call);
    EXPECT_GE(result.standard_error.size(), block.size());
    EXPECT_EQ(result.standard_error.substr(result.standard_error.size() - block.size()), block);
    if (c.ini == nullptr) {  // the escape written out, in the dialog as well
      std::string expected = missing_ini();
      expected.replace(expected.find('\x1b'), 1, "\\x1b");
      EXPECT_EQ(result.standard_error, expected);
    }
    // The environment the launcher was given, not the one the INI prepared.
    EXPECT_EQ(call.probe, "start");
    EXPECT_EQ(call.streams, "/dev/null\n/dev/null\n/dev/null");
    EXPECT_TRUE(call.closed);
  }
}

TEST_F(end_to_end_dialogs, OnlyWithADisplayAndNoTerminalUnlessSetOtherwise) {
  add_tool("zenity");
  const struct {
    const char* name;
    const char* variable;  // set to |value| in the environment
    const char* value;
    int terminal;  // a standard stream on a terminal, or -1
    bool dialog;
  } cases[] = {
      {"auto", nullptr, nullptr, -1, true},
      {"standard input on a terminal", nullptr, nullptr, 0, false},
      {"standard output on a terminal", nullptr, nullptr, 1, false},
      {"standard error on a terminal", nullptr, nullptr, 2, false},
      {"no display", "DISPLAY", nullptr, -1, false},
      {"a Wayland display only", "WAYLAND_DISPLAY", "wayland-0", -1, true},
      {"never", "VELMORA_LAUNCHER_DIALOGS", "never", -1, false},
      {"always with a terminal", "VELMORA_LAUNCHER_DIALOGS", "always", 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> saved = environment_;
    if (c.variable != nullptr) environment_.erase(c.variable);
    if (c.value != nullptr) environment_[c.variable] = c.value;
    if (c.variable != nullptr && std::string(c.variable) == "WAYLAND_DISPLAY") {
      environment_.erase("DISPLAY");
    }
    RunResult result = c.terminal < 0 ? launch({}) : launch_on_terminal({}, c.terminal);
    environment_ = saved;
    EXPECT_EQ(result.exit_status, 1);
    if (c.terminal != 2) EXPECT_EQ(result.standard_error, missing_ini());
    EXPECT_EQ(dialogs().size(), c.dialog ? 1u : 0u);
  }
}

TEST_F(end_to_end_dialogs, ToolIsFoundOnThePathTheLauncherWasGiven) {
  const std::string first = install_->root() + "/first", second = install_->root() + "/second";
  fs::create_directories(first);
  fs::create_directories(second);
  const struct {
    const char* name;
    Strings first_tools, second_tools;
    std::string path;
    const char* ini;
    const char* tool;
  } cases[] = {
      {"zenity before kdialog before xmessage, wherever on PATH",
       {"kdialog", "xmessage"}, {"zenity"}, first + ":" + second, "", "zenity"},
      {"kdialog before xmessage", {"xmessage"}, {"kdialog"}, first + ":" + second, "",
       "kdialog"},
      {"empty and relative entries, which mean the current directory",
       {"zenity", "kdialog"}, {"xmessage"}, ":.:../first:" + second, "", "xmessage"},
      {"a PATH entry from the INI file", {"zenity"}, {"xmessage"}, second,
       "PATH=<CURRDIR>../first\n", "xmessage"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& directory : {first, second}) {
      for (const auto& entry : fs::directory_iterator(directory)) fs::remove(entry.path());
    }
    for (const std::string& tool : c.first_tools) add_tool(tool, first);
    for (const std::string& tool : c.second_tools) add_tool(tool, second);
    install_->write_ini(std::string("[Environment Variables]\n") + c.ini);
    environment_["PATH"] = c.path;
    RunResult result = launch({"-help"}, "", first);
    EXPECT_EQ(result.exit_status, 0);
    std::vector<DialogCall> calls = dialogs();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].tool, c.tool);
  }
}

TEST_F(end_to_end_dialogs, StringTestShowsSixDialogsOneAfterAnother) {
  add_tool("zenity");
  install_->write_ini("[Settings]\n");
  RunResult result = launch({"-stringtest"});
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  std::vector<DialogCall> calls = dialogs();
  ASSERT_EQ(calls.size(), 6u);
  std::string shown;
  for (const DialogCall& call : calls) {
    EXPECT_TRUE(call.closed);
    ASSERT_EQ(call.arguments.size(), 4u);
    EXPECT_EQ(call.arguments[0], "--info");
    shown += as_on_standard_error(call);
  }
  EXPECT_EQ(shown, result.standard_error);
}

TEST_F(end_to_end_dialogs, FailingKilledOrMissingToolChangesNothing) {
  for (const char* ending : {"exit 3", "kill -KILL $$", ""}) {
    SCOPED_TRACE(ending);
    fs::remove(tools() + "/zenity");
    if (ending[0] != '\0') add_tool("zenity", "", ending);
    install_->write_ini("[Settings]\n");
    RunResult result = launch({"-stringtest", "-clean"});
    EXPECT_EQ(result.exit_status, kTargetExitStatus);
    EXPECT_EQ(started().arguments, target_argv({"-stringtest", "-clean"}));
    fs::remove(install_->ini_path());
    expect_no_start(launch({}), 1, missing_ini());
    EXPECT_EQ(dialogs().size(), ending[0] == '\0' ? 0u : 7u);
  }
}

}  // namespace
