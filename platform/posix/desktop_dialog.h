// Messages as desktop dialogs. A launcher started from a desktop entry, a
// file manager or a menu has no terminal, so what it writes to standard error
// goes unseen; there it also shows each message through the desktop's own
// dialog tool and waits until the user has closed it.
#ifndef LAUNCHER_PLATFORM_POSIX_DESKTOP_DIALOG_H_
#define LAUNCHER_PLATFORM_POSIX_DESKTOP_DIALOG_H_

#include <functional>
#include <string>
#include <vector>

#include "messages/messages.h"

// The variable that chooses when dialogs are shown.
constexpr char kDialogsVariable[] = "VELMORA_LAUNCHER_DIALOGS";

enum class DialogPolicy {
  kAuto,    // when no standard stream is a terminal
  kNever,   // standard error only
  kAlways,  // a terminal or not
};

// The policy |setting| (the variable's value, null when unset) names:
// "never" or "always"; anything else is the default, auto.
DialogPolicy dialog_policy(const char* setting);

// True when a message is to be shown as a dialog as well: there is a display
// and, unless the policy says always, none of the standard streams is a
// terminal.
bool wants_dialog(DialogPolicy policy, bool has_terminal, bool has_display);

// The dialog tool's path: the first of zenity, kdialog and xmessage that
// lies in a directory of |path| (a PATH value) and that |is_executable|
// accepts; empty when there is none. Empty and relative entries are
// skipped, so the current directory never supplies it.
std::string find_dialog_tool(
    const std::string& path,
    const std::function<bool(const std::string&)>& is_executable);

// The argument vector, its name first, with which |tool| (as found above)
// shows |text| under |caption| as an error or an information message.
std::vector<std::string> dialog_arguments(const std::string& tool,
                                          const std::string& caption,
                                          const std::string& text,
                                          MessageKind kind);

// |text| as rich text: "&", "<", ">" and '"' as entities, line feeds as
// "<br>".
std::string escape_html(const std::string& text);

// Shows |text| under |caption| as a dialog when the policy, the standard
// streams and the display call for one, and returns when it is closed.
// |environment| is the environment as it was when the launcher started:
// it chooses the policy, the display and the tool, and the tool runs in it.
// |is_executable| tells which files on its PATH may be run. A tool that is
// missing, fails or is killed leaves no trace.
void show_desktop_dialog(
    char* const* environment, const std::string& caption, const std::string& text,
    MessageKind kind, const std::function<bool(const std::string&)>& is_executable);

#endif  // LAUNCHER_PLATFORM_POSIX_DESKTOP_DIALOG_H_
