#include "app/core/startoptions.h"

#include "lib/support/w1252.h"

startoptions parsestartoptions(const std::vector<std::string>& args) {
  startoptions o;
  for (const std::string& a : args) {
    if (a == "--desktop") {
      o.desktop = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else {
      o.error = std::string("turmfinder: unbekanntes Argument \""_w) + utf8ToW1252(a) + "\"";
      return o;
    }
  }
  return o;
}

std::string startusage() {
  return std::string(
      "Aufruf: turmfinder [--desktop]\n"
      "  ohne Argument  arbeitet im aktuellen Ordner (germtowers.dat, berlintowers.dat,\n"
      "                 settings.dat, fontpar.dat, celltowers.html)\n"
      "  --desktop      wie aus dem Startmenü: arbeitet in ~/Turmfinder (wird angelegt)\n"
      "                 und bietet ohne Datenbank eine Demo-Datenbank an\n"_w);
}
