#include "app/core/appstate.h"

#include "celldb/database.h"
#include "lib/support/w1252.h"

settingsrecord settings = emptysettings();
fontrecord screenfontrec = defaultfontrecord();
fontrecord dialogfontrec = defaultfontrecord();
FontSpec screenfont;
FontSpec listfont;
std::int32_t clickline = 1;
std::string positiontext;
real positionlon, positionlat;
std::uint8_t settingschanged = 0;
std::string helpfilename = "Turmscan.hlp";
std::uint8_t helpavailable = 1;
std::uint16_t statusbarheight = 25;

std::string authorline() { return std::string("Ein Programm des Turmfinder-Teams"_w); }
std::string sourceline() { return std::string("Daten: OpenCelliD, www.opencellid.org (CC BY-SA 4.0)"_w); }

std::string demoline() {
  return std::string("Demo-Datenbank mit erfundenen Zellen. Echte Daten: Daten » Export einlesen…"_w);
}

std::vector<std::string> aboutlines() {
  return {"Turmfinder in Deutschland", "vom Turmfinder-Team", kVersionLine, "Daten: www.opencellid.org",
          "Lizenz: CC BY-SA 4.0"};
}

std::string databasetitle() {
  return dbfilename == "germtowers.dat" ? "Turmfinder in Deutschland" : "Turmfinder in Berlin";
}

void resetappstate() {
  settings = emptysettings();
  screenfontrec = defaultfontrecord();
  dialogfontrec = defaultfontrecord();
  screenfont = FontSpec{};
  listfont = FontSpec{};
  listfont.name = "Arial";
  listfont.pointsize = 10;
  clickline = 1;
  positiontext.clear();
  positionlon = real{};
  positionlat = real{};
  settingschanged = 0;
  helpfilename = "Turmscan.hlp";
  helpavailable = 1;
  statusbarheight = 25;
}
