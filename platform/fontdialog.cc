#include "platform/fontdialog.h"

namespace {
class CancellingFontDialog : public FontDialog {
 public:
  std::optional<FontSpec> choose(const std::string&, const FontSpec&, int, int, bool) override {
    return std::nullopt;
  }
};
CancellingFontDialog cancelling;
FontDialog* installed = nullptr;
}  // namespace

FontDialog& fontdialog() { return installed ? *installed : cancelling; }
void setfontdialog(FontDialog* d) { installed = d; }
