// The command handler of the main window and the close question.
#include <QApplication>
#include <algorithm>
#include <exception>
#include <string>

#include "app/core/appstate.h"
#include "app/core/positioninput.h"
#include "app/taw.h"
#include "celldb/database.h"
#include "lib/dialog/ZODlgs2.h"
#include "lib/dialog/dlgglobals.h"
#include "lib/support/fontrec.h"
#include "lib/support/ioerror.h"
#include "lib/support/messages.h"
#include "lib/support/w1252.h"
#include "maps/maplinks.h"
#include "maps/mappage.h"
#include "platform/help.h"
#include "platform/qt/qtfont.h"
#include "query/criteria.h"
#include "query/gui/cellauswahldlg.h"
#include "query/liststate.h"
#include "query/surrounding.h"

namespace {

// The hourglass for the lifetime of the guard, also when a search throws.
class BusyGuard {
 public:
  explicit BusyGuard(QWidget* w) : w_(w) { busycursor(w_); }
  ~BusyGuard() { normalcursor(w_); }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  QWidget* w_;
};

constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 48;

}  // namespace

void TAW::MenuCommand(QObject* sender) {
  if (sender == nullptr) return;
  std::string classname = sender->metaObject()->className();
  if (debugtrace) infomessage("Sender=" + classname);
  if (classname != "TMenuItem") return;
  int tag = static_cast<TMenuItem*>(sender)->tag;
  if (debugtrace) infomessage("Sender=" + classname + " " + std::to_string(tag));
  if (tag <= 0) return;
  runcommand(tag);
}

void TAW::runcommand(int tag) {
  // No failure may leave the event loop: a read error of the database is
  // reported here and the command ends.
  // Commands that read the database do nothing while none is open (after
  // a failed start).
  bool readsdatabase = tag == 53 || (tag >= 54 && tag <= 57) || tag == 63;
  if (readsdatabase && !databaseopen()) return;
  try {
    switch (tag) {
      case 1:
        close();
        break;
      case 50:
        submenuende();
        if (vscrollbar != nullptr) vscrollbar->hide();
        ShowMenu(viewitem);
        invalidate();
        break;
      case 51:
        submenuscroll(2, 102, "Liste", 1, std::max<std::int32_t>(resultcount, 30), 20, 1, 1, 10);
        ShowMenu(102);
        if (vscrollbar != nullptr) vscrollbar->show();
        invalidate();
        break;
      case 53: {
        if (!runcellselection(this, criteria)) break;
        if (criteriaempty(criteria)) {
          selectall();
          // The whole list again: from its top, without the distance
          // column of an earlier surrounding search.
          surroundingresult = false;
          setlistrange();
        } else {
          {
            BusyGuard busy(this);
            selectbycriteria(criteria, tolerancelon, tolerancelat);
          }
          setlistrange();
          surroundingresult = false;
        }
        invalidate();
        break;
      }
      case 54:
        ShowOnMap(0, currentobject);
        break;
      case 55:
        ShowOnMap(1, currentobject);
        break;
      case 56:
        ShowObjectsOnMapPage(resultcount, (settings.labelchoice & 0xFF) != 0);
        invalidate();
        break;
      case 57: {
        {
          BusyGuard busy(this);
          nearobject(selectedobject, kWantedObjects);
        }
        surroundingresult = true;
        setlistrange();
        invalidate();
        break;
      }
      case 58:
      case 59: {
        std::string name = tag == 58 ? "germtowers.dat" : "berlintowers.dat";
        bool switched = false;
        if (!databaseopen()) {
          // Nothing open (the start failed): open the chosen file.
          OpenResult r = opendatabase(name);
          if (r.ok) {
            towercount = r.total;
            selectall();
            databasefailed = false;
            switched = true;
          } else {
            infomessage("Datei " + name + std::string(" konnte nicht geöffnet werden!"_w));
          }
        } else if (name != dbfilename && switchdatabase(name)) {
          switched = true;
        }
        if (switched) {
          // Record numbers of the old file mean nothing in the new one: the
          // map commands and the object search start from record 0 again.
          forgetselection();
          setlistrange();
        }
        invalidate();
        break;
      }
      case 60:
        aboutbox(this, std::string("über Turmfinder"_w), aboutlines(), 5, kAboutWidth);
        break;
      case 61:
        if (choosefont(std::string("Bildschirm-Schrift wählen"_w), screenfontrec, screenfont,
                       kMinFontSize, kMaxFontSize, 0, false))
          WriteFontRecord(kFontFile, kScreenFontIndex, screenfontrec);
        invalidate();
        break;
      case 62: {
        FontSpec dialogspec = recordtofont(false, dialogfontrec);
        if (choosefont(std::string("Dialogschrift wählen"_w), dialogfontrec, dialogspec,
                       kMinFontSize, kMaxFontSize, 0, false)) {
          setdialogfont(qfontof(dialogspec));
          WriteFontRecord(kFontFile, kDialogFontIndex, dialogfontrec);
        }
        invalidate();
        break;
      }
      case 63: {
        oneshotfieldhint = std::string(
            "Breite und Länge eingeben. Beispiel:\"52.497973,13.342015\". String kann aus Google-Maps kopiert werden."_w);
        std::string text = positiontext;
        bool ok = false;
        textinput(this, "Position", "Position", 10, 40, text, ok);
        if (!ok) break;
        positiontext = text;
        PositionInput p = parsepositiontext(positiontext);
        if (!p.valid) break;
        positionlat = toreal(p.lat);
        positionlon = toreal(p.lon);
        {
          BusyGuard busy(this);
          nearposition(criteria, kWantedObjects, positionlon, positionlat);
        }
        surroundingresult = true;
        setlistrange();
        invalidate();
        break;
      }
      case 64: {
        std::uint16_t choice = settings.labelchoice <= 1 ? settings.labelchoice : 0;
        if (choicebox2(this, "OpenMap-Marker", "Marker", "nicht beschriften", "beschriften", 20, 20, 2,
                       choice))
          settings.labelchoice = choice;
        settingschanged = 1;
        break;
      }
      case 93:
        if (helpavailable) helpsystem().openindex(helpfilename);
        break;
      default:
        if (debugtrace) infomessage("unbek. tag=" + std::to_string(tag));
        break;
    }
  } catch (const IoError& e) {
    errormessage(std::string("Lesefehler: ") + e.what());
    invalidate();
  } catch (const std::exception& e) {
    errormessage(std::string("Fehler: ") + e.what());
  }
}

void TAW::forgetselection() {
  selectedline = 0;
  selectedobject = 0;
  currentobject = 0;
  clickline = 1;
}

bool TAW::CloseQuery() {
  if (!askyesno("Programm beenden?")) return false;
  helpsystem().quit();
  if (towercount > 0) closedatabase();
  if (settingschanged) WriteSettings(kSettingsFile, settings);
  return true;
}
