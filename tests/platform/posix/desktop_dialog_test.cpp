// The pure parts of the desktop dialogs: when one is shown, which tool shows
// it and with what arguments.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/posix/desktop_dialog.h"

namespace {

using Strings = std::vector<std::string>;

TEST(DialogPolicyTest, DisplayAndTerminalDecideUnderEachSetting) {
  const struct {
    const char* setting;
    bool terminal, display, dialog;
  } cases[] = {
      {nullptr, false, true, true},   {"auto", false, true, true},
      {"", false, true, true},        {"NEVER", false, true, true},
      {nullptr, true, true, false},   {nullptr, false, false, false},
      {"never", false, true, false},  {"never", true, true, false},
      {"always", true, true, true},   {"always", false, true, true},
      {"always", true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting ? c.setting : "(unset)") +
                 (c.terminal ? " terminal" : "") + (c.display ? " display" : ""));
    EXPECT_EQ(wants_dialog(dialog_policy(c.setting), c.terminal, c.display), c.dialog);
  }
}

TEST(FindDialogToolTest, ToolOrderFirstThenPathOrderAbsoluteEntriesOnly) {
  const struct {
    const char* path;
    std::set<std::string> executables;
    const char* tool;
  } cases[] = {
      {"/a:/b", {"/a/xmessage", "/b/kdialog", "/b/zenity"}, "/b/zenity"},
      {"/a:/b", {"/a/xmessage", "/b/kdialog"}, "/b/kdialog"},
      {"/a:/b", {"/a/kdialog", "/b/kdialog"}, "/a/kdialog"},
      {"/a/:/b", {"/a/xmessage"}, "/a/xmessage"},
      {"/usr/bin", {"/usr/bin/zenity"}, "/usr/bin/zenity"},
      // Empty and relative entries would mean the current directory.
      {":.:bin:/b", {"zenity", "./zenity", "bin/zenity", "/b/xmessage"}, "/b/xmessage"},
      {"", {"zenity"}, ""},
      {"/a:/b", {"/a/zenity-not", "/b/gxmessage"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(find_dialog_tool(c.path, [&](const std::string& candidate) {
                return c.executables.count(candidate) > 0;
              }),
              c.tool);
  }
}

TEST(DialogArgumentsTest, EachToolGetsCaptionTextAndKind) {
  const std::string text = "a <b> & \"c\"\nd\\n";
  const struct {
    const char* tool;
    MessageKind kind;
    Strings arguments;
  } cases[] = {
      {"/usr/bin/zenity", MessageKind::kError,
       {"zenity", "--error", "--no-markup", "--title=Fehler", "--text=" + text}},
      {"/usr/bin/zenity", MessageKind::kInformation,
       {"zenity", "--info", "--no-markup", "--title=Fehler", "--text=" + text}},
      {"/opt/kde/bin/kdialog", MessageKind::kError,
       {"kdialog", "--title", "Fehler", "--error",
        "<qt>a &lt;b&gt; &amp; &quot;c&quot;<br>d\\n</qt>"}},
      {"/opt/kde/bin/kdialog", MessageKind::kInformation,
       {"kdialog", "--title", "Fehler", "--msgbox",
        "<qt>a &lt;b&gt; &amp; &quot;c&quot;<br>d\\n</qt>"}},
      {"/usr/bin/xmessage", MessageKind::kError, {"xmessage", "-title", "Fehler", text}},
      {"/usr/bin/xmessage", MessageKind::kInformation,
       {"xmessage", "-title", "Fehler", text}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tool);
    EXPECT_EQ(dialog_arguments(c.tool, "Fehler", text, c.kind), c.arguments);
  }
}

}  // namespace
