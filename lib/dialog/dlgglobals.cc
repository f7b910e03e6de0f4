#include "lib/dialog/dlgglobals.h"

#include <memory>

#include <QFont>

#include "lib/dialog/zodialog.h"

int opendialogcount = 0;
QPointer<Tzodialog> currentdialog;
QPointer<Tzodialog> lastsetupdialog;
bool dialogcancelled = false;

namespace {
std::unique_ptr<QFont>& fontslot() {
  static std::unique_ptr<QFont> f;
  return f;
}
}  // namespace

const QFont* dialogfont() { return fontslot().get(); }
void setdialogfont(const QFont& f) { fontslot() = std::make_unique<QFont>(f); }
void cleardialogfont() { fontslot().reset(); }

QFont defaultdialogfont() {
  QFont f("MS Sans Serif");
  f.setPixelSize(11);
  return f;
}

std::string oneshotfieldhint;
QWidget* tabsheetcontainer = nullptr;
std::uint8_t defaulthintmode = 0;
std::uint8_t hintmode = 0;
std::uint8_t tooltipswitch = 0;
std::uint8_t hintpanelswitch = 0;
bool thirdbutton1 = false;
bool thirdbutton2 = true;
bool spinswitch = true;
bool dialognumberintitle = false;
std::uint8_t exportmode = 0;
bool sizeableswitch = false;
bool systemmenuswitch = true;
bool treepanelswitch = false;
std::uint8_t dialogtracelevel = 0;
std::uint8_t suppresserrortext = 0;
bool texttranslation = false;

std::int32_t currenthelpid = 0;
dlgbounds lastdialogbounds;
int librarycw = 0, libraryrowh2 = 0;

std::string dialoghelpfile = "Turmscan.hlp";
std::function<void(int)> dialogidhook;
std::function<bool(int)> helpcontexthook;
std::function<std::string(const std::string&)> translationhook;
std::function<void(const std::string&, const QFont&)> printhook;
QPointer<QWidget> applicationmainwindow;
