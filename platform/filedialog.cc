#include "platform/filedialog.h"

namespace {
class CancellingFileDialog : public FileDialog {
 public:
  std::optional<std::string> openfile(const std::string&, const std::string&,
                                      const std::vector<FileFilter>&) override {
    return std::nullopt;
  }
  std::optional<SaveChoice> savefile(const std::string&, const std::string&, const std::string&,
                                     const std::vector<FileFilter>&, int) override {
    return std::nullopt;
  }
};
CancellingFileDialog cancelling;
FileDialog* installed = nullptr;
}  // namespace

FileDialog& filedialog() { return installed ? *installed : cancelling; }
void setfiledialog(FileDialog* d) { installed = d; }
