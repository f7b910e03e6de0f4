#include "platform/messagewindows.h"

namespace {
class SilentMessageWindows : public MessageWindows {
 public:
  bool standarddialog(MsgKind, const std::string&) override { return false; }
  bool plainbox(const std::string&, const std::string&, MsgIcon, bool) override { return false; }
  void beep() override {}
};
SilentMessageWindows silent;
MessageWindows* installed = nullptr;
}  // namespace

MessageWindows& messagewindows() { return installed ? *installed : silent; }
void setmessagewindows(MessageWindows* w) { installed = w; }
