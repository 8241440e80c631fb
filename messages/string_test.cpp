#include "launcher/system.h"
#include "messages/messages.h"

namespace {

constexpr size_t kStringTestCapacity = 1024;

void show_test_text(System& system, int id, int placeholders) {
  std::string text = load_message(system, id, kStringTestCapacity);
  if (placeholders > 0) {
    text = format_message(text, std::vector<std::string>(placeholders, "_TEST_"));
  }
  show_message(system, text, MessageKind::kInformation);
}

}  // namespace

void run_string_test(System& system) {
  show_test_text(system, IDS_MissingINI, 1);
  show_test_text(system, IDS_ERROR_NOGTK, 3);
  show_test_text(system, IDS_USAGE, 0);
  show_test_text(system, IDS_USAGE_CONTENT, 1);
  show_test_text(system, IDS_ERROR, 0);
  show_test_text(system, IDS_MESSAGE, 0);
}
