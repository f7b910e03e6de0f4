// The command handler of the main window and the close question.
#include <QApplication>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>

#include "app/core/appstate.h"
#include "app/core/positioninput.h"
#include "app/importprogress.h"
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

constexpr int kMinFontSize = kFontSizeMin;
constexpr int kMaxFontSize = kFontSizeMax;

// Opens the map link of one record; a link that no browser takes is shown
// in a notice, so that it can be copied.
void showlink(int kind, std::int32_t recno) {
  std::string link;
  if (!ShowOnMap(kind, recno, &link))
    infomessage("Kein Browser konnte gestartet werden. Der Link zum Kopieren:\n" + link);
}

// The map page of the list.  Nothing is silent: an empty list, a page that
// can't be written (the old page then stays) and a page that no browser
// takes each give a notice.
void showmappage() {
  if (resultcount <= 0) {
    infomessage(std::string("Die Liste ist leer: keine Objekte für die Karte, "_w) + kMapPageFile +
                " wird nicht geschrieben.");
    return;
  }
  MapPageOutcome outcome;
  bool written = false;
  try {
    written = ShowObjectsOnMapPage(resultcount, (settings.labelchoice & 0xFF) != 0, &outcome);
  } catch (const MapPageWriteError& e) {
    errormessage(e.what());
    return;
  }
  if (!written) {
    errormessage(std::string("Schreibfehler in ") + kMapPageFile + ": " + outcome.reason);
    return;
  }
  if (!outcome.opened) {
    std::error_code ec;
    std::filesystem::path page = std::filesystem::absolute(kMapPageFile, ec);
    infomessage("Kein Browser konnte gestartet werden. Die Karte steht in:\n" +
                (ec ? std::string(kMapPageFile) : utf8ToW1252(page.string())));
  }
}

// Stores a chosen font as record `index` of fontpar.dat (records missing
// before it are filled); a font that can't be stored holds for this run
// only, and the notice says so.
void storefont(std::int32_t index, const fontrecord& record) {
  std::string why;
  if (!StoreFontRecord(kFontFile, index, record, screenfontrec, &why))
    errormessage(std::string("Schreibfehler in ") + kFontFile + ": " + why +
                 ". Die Schrift gilt nur bis zum Programmende.");
}

// A search reads the file as it is now: its count follows a file that
// shrank, so the title reports what the search really had.
void followshrunkfile() {
  std::int32_t n = readablerecords();
  if (n < towercount) towercount = n;
}

std::string positionexample() { return "Beispiel: \"52.497973,13.342015\""; }

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
  // The hint of the chosen item goes with its menu.
  clearhint();
  bool readsdatabase = tag == 53 || (tag >= 54 && tag <= 57) || tag == 63 || tag == 67;
  // A database file replaced meanwhile (found now or by a paint just
  // before): the new one, its whole list; a command on the old list (its
  // selection, its entries) ends here.
  followreplaceddatabase();
  if (showreplacednotice() && readsdatabase) return;
  if (readsdatabase && !databaseopen()) return;
  try {
    switch (tag) {
      case 1:
        close();
        break;
      case 50:
        submenuende();
        updatescrollbar();
        ShowMenu(viewitem);
        invalidate();
        break;
      case 51:
        // The range is the list's own: a longer one would scroll past the
        // last entry into an empty screen.
        submenuscroll(2, 102, "Liste", 1, std::max<std::int32_t>(resultcount, 1), kStandardLargeStep, 1,
                      1, 10);
        ShowMenu(102);
        updatescrollbar();
        invalidate();
        break;
      case 53: {
        if (!runcellselection(this, criteria)) break;
        forgetselection();
        followshrunkfile();
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
      case 54: {
        std::int32_t recno = 0;
        if (selectedrecord(recno)) showlink(kGoogleMaps, recno);
        break;
      }
      case 55: {
        std::int32_t recno = 0;
        if (selectedrecord(recno)) showlink(kOpenStreetMap, recno);
        break;
      }
      case 56:
        showmappage();
        invalidate();
        break;
      case 57: {
        std::int32_t centre = 0;
        if (!selectedrecord(centre)) break;
        forgetselection();
        followshrunkfile();
        {
          BusyGuard busy(this);
          nearobject(centre, kWantedObjects);
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
        bool busy = false;
        std::string settled = settlepair(500, busy);
        if (!settled.empty()) infomessage(settled);
        if (busy) break;
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
          // All cells of the new file: no selection, no criteria, no
          // distance column from the old one.
          forgetselection();
          criteria = ttowerrec{};
          surroundingresult = false;
          setlistrange();
        }
        invalidate();
        break;
      }
      case 65:
      case 66:
        importcommand(tag);
        break;
      case 60:
        aboutbox(this, std::string("über Turmfinder"_w), aboutlines(), 5, kAboutWidth);
        break;
      case 61:
        if (choosefont(std::string("Bildschirm-Schrift wählen"_w), screenfontrec, screenfont,
                       kMinFontSize, kMaxFontSize, 0, false))
          storefont(kScreenFontIndex, screenfontrec);
        invalidate();
        break;
      case 62: {
        FontSpec dialogspec = recordtofont(false, dialogfontrec);
        if (choosefont(std::string("Dialogschrift wählen"_w), dialogfontrec, dialogspec,
                       kMinFontSize, kMaxFontSize, 0, false)) {
          setdialogfont(qfontof(dialogspec));
          storefont(kDialogFontIndex, dialogfontrec);
        }
        invalidate();
        break;
      }
      case 63: {
        oneshotfieldhint = std::string(
            "Breite und Länge eingeben. Beispiel:\"52.497973,13.342015\". String kann aus Google-Maps kopiert werden."_w);
        std::string text = positiontext;
        bool ok = false;
        // Every text reaches the reader below, which says what is wrong
        // with it; a minimum length would only keep the dialog open
        // without a word (and refuse "52.5,13.4").
        textinput(this, "Position", "Position", 0, 40, text, ok);
        if (!ok) break;
        positiontext = text;
        PositionInput p = parsepositiontext(positiontext);
        if (!p.valid) {
          infomessage(std::string("Die Position ist nicht lesbar: Breite und Länge mit Punkt als "
                                  "Dezimalzeichen, durch ein Komma getrennt. "_w) +
                      positionexample());
          break;
        }
        if (!p.inrange) {
          infomessage(std::string("Die Position liegt außerhalb des gültigen Bereichs: die Breite muss zwischen "
                                  "-90 und 90 liegen, die Länge zwischen -180 und 180. "_w) +
                      positionexample());
          break;
        }
        forgetselection();
        followshrunkfile();
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
      case 67:
        exportlist();
        break;
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
  clickline = 0;
  readerrorshown_ = false;
}

bool TAW::selectedrecord(std::int32_t& recno) {
  if (towercount <= 0) {
    infomessage(std::string("Die Datenbank enthält keine Zellen."_w));
    return false;
  }
  if (selectedline < 1 || selectedline > resultcount) {
    infomessage(std::string("Kein Objekt gewählt: bitte zuerst eine Zeile der Liste anklicken."_w));
    return false;
  }
  recno = resultlist[static_cast<std::size_t>(selectedline)];
  currentobject = recno;
  return true;
}

bool TAW::CloseQuery() {
  if (importrunning()) {
    infomessage(std::string("Es wird gerade eingelesen: bitte erst „Abbrechen“ wählen oder das Ende abwarten."_w));
    return false;
  }
  if (!askyesno("Programm beenden?")) return false;
  helpsystem().quit();
  if (towercount > 0) closedatabase();
  if (settingschanged) {
    std::string why;
    if (!WriteSettings(kSettingsFile, settings, &why))
      errormessage(std::string("Schreibfehler in ") + kSettingsFile + ": " + why +
                   ". Die Markerbeschriftung wurde nicht gespeichert.");
  }
  return true;
}
