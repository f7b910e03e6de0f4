#include "lib/dialog/dlgexport.h"

#include <cstdio>
#include <filesystem>

#include <QClipboard>
#include <QGuiApplication>

#include "lib/dialog/dlgtext.h"
#include "lib/support/messages.h"

namespace {
constexpr std::size_t kHelpTextLimit = 3800;

// Appends text wrapped at width columns, each line starting with indent.
void appendwrapped(std::string& out, const std::string& text, const std::string& indent,
                   std::size_t width) {
  std::size_t room = width > indent.size() ? width - indent.size() : 1;
  std::size_t pos = 0;
  do {
    std::size_t len = std::min(room, text.size() - pos);
    if (pos + len < text.size()) {
      std::size_t blank = text.rfind(' ', pos + len);
      if (blank != std::string::npos && blank > pos) len = blank - pos;
    }
    out += indent + text.substr(pos, len) + "\r\n";
    pos += len;
    while (pos < text.size() && text[pos] == ' ') ++pos;
  } while (pos < text.size());
}
}  // namespace

std::vector<std::string> dlgexportlines(const dlgtable& t, int itemcount) {
  std::vector<std::string> lines;
  for (int i = 0; i <= itemcount && i < kDlgRecords; ++i)
    if (!t[i].caption.empty()) lines.push_back(t[i].caption);
  for (int i = 0; i <= itemcount && i < kDlgRecords; ++i)
    if (!t[i].caption.empty()) lines.push_back(t[i].hint);
  return lines;
}

std::string dlghelptext(const dlgtable& t, int itemcount) {
  std::string out;
  if (!t[0].hint.empty()) appendwrapped(out, t[0].hint, " ", 80);
  for (int i = 1; i <= itemcount && i < kDlgRecords && out.size() < kHelpTextLimit; ++i) {
    const dlgparameter& p = t[i];
    if (p.caption.empty() || p.hint.empty()) continue;
    out += p.caption;
    if (p.caption.back() != ':') out += ":";
    out += "\r\n";
    appendwrapped(out, p.hint, "  ", 80);
  }
  return out;
}

std::string dlgexportfilename(int dialogid) { return "help/dlg" + std::to_string(dialogid) + ".txt"; }

bool exportdescriptionfile(int dialogid, int helpid, const std::vector<std::string>& lines) {
  std::size_t length = 0;
  for (const auto& l : lines) length += l.size() + 2;
  if (length <= 10) return false;
  std::string name = dlgexportfilename(dialogid);
  std::error_code ec;
  std::filesystem::create_directories("help", ec);
  bool ok = false;
  if (FILE* f = std::fopen(name.c_str(), "wb")) {
    std::string text = "#" + std::to_string(helpid) + "\r\n";
    for (const auto& l : lines) {
      std::size_t pos = 0;
      do {
        text += l.substr(pos, 80) + "\r\n";
        pos += 80;
      } while (pos < l.size());
    }
    ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
  }
  infomessage(name + (ok ? " Expodlg ok" : " expodlg failed"));
  return ok;
}

void exportdescriptionclipboard(const std::string& text) {
  if (text.size() <= 10) return;
  if (QClipboard* c = QGuiApplication::clipboard()) c->setText(toq(text));
}
