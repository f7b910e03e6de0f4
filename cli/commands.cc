#include "cli/commands.h"

#include <iterator>

#include "lib/support/w1252.h"

namespace {
// A plain array: clang 14 fails on Windows-1252 literals inside a vector's
// initializer list.
const clicommand kCommands[] = {
      {"prepare", "CSV [--dir DIR]",
       "OpenCelliD-Export (CSV oder gzip) in germtowers.dat und berlintowers.dat umwandeln"_w,
       cmdprepare},
      {"update", "DIFF [--dir DIR]",
       "OpenCelliD-Diff (CSV oder gzip, - für die Standardeingabe) auf germtowers.dat "
       "anwenden: bekannte Zellen an ihrer DatNr ändern, neue anhängen, berlintowers.dat "
       "neu schreiben"_w,
       cmdupdate},
      {"demo", "[--dir DIR] [--count N]",
       "Demo-Datenbank germtowers.dat und berlintowers.dat erzeugen"_w, cmddemo},
      {"index", "[--dir DIR]",
       "Index neben germtowers.dat und berlintowers.dat neu schreiben (prepare, update und "
       "demo schreiben ihn selbst; ohne passenden Index lesen die Suchen die ganze Datei)"_w,
       cmdindex},
      {"select",
       "[--db DATEI] [--type T] [--net N] [--area A] [--cell C] [--format grid|csv|geojson|kml] [--limit N]",
       "Zellen nach Art (Alle, GSM, UMTS, Unbekannt, LTE, CDMA, NR), Netz, Area und CellId "
       "auflisten; $ vor einer Zahl: hexadezimal (Status 3: mehr als 2.400.000 Treffer, "
       "der Rest fehlt, oder Einträge mit Koordinaten außerhalb der Erde ausgelassen; "
       "--limit N kürzt ohne Status 3)"_w,
       cmdselect},
      {"near",
       "[--db DATEI] (--object N | --position \"BREITE,LAENGE\") [--type T] [--net N] [--area A] "
       "[--cell C] [--format grid|csv|geojson|kml] [--limit N]",
       "Zellen um einen Datensatz oder eine Position auflisten, nächste zuerst "
       "(das Suchfenster wächst, bis es 20 hält; Status 3 wie bei select)"_w, cmdnear},
      {"link", "(--object N | --position \"BREITE,LAENGE\") --map google|osm [--db DATEI]",
       "Google-Maps- oder OpenStreetMap-Link eines Datensatzes oder einer Position ausgeben"_w,
       cmdlink},
      {"page", "[--db DATEI] [--type T] [--net N] [--area A] [--cell C] [--labels]",
       "celltowers.html mit den ersten 20 Zellen der Auswahl schreiben "
       "(Status 1: Auswahl leer, nichts geschrieben)"_w,
       cmdpage},
};
}  // namespace

const std::vector<clicommand>& clicommands() {
  static const std::vector<clicommand> table(std::begin(kCommands), std::end(kCommands));
  return table;
}

const clicommand* findcommand(std::string_view name) {
  for (const auto& c : clicommands())
    if (name == c.name) return &c;
  return nullptr;
}

void say(std::ostream& os, std::string_view w1252) { os << w1252ToUtf8(w1252) << '\n'; }

void printcommandusage(const clicommand& c, std::ostream& os) {
  say(os, std::string("Aufruf: turmcli "_w) + c.name + " " + c.arguments);
  say(os, std::string("  ") + std::string(c.summary));
}

void printusage(std::ostream& os) {
  say(os, "Aufruf: turmcli <Befehl> [Argumente]"_w);
  say(os, "Befehle:"_w);
  for (const auto& c : clicommands()) {
    std::string head = std::string("  ") + c.name + " " + c.arguments;
    if (head.size() < 34) head.append(34 - head.size(), ' ');
    say(os, head + "  " + std::string(c.summary));
  }
  say(os, "turmcli <Befehl> --help zeigt die Argumente eines Befehls."_w);
}

bool optionvalue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                 std::string& value, bool& missing) {
  std::string_view a = args[i];
  missing = false;
  if (a == name) {
    if (i + 1 >= args.size()) {
      missing = true;
      ++i;
      return true;
    }
    value = args[i + 1];
    i += 2;
    return true;
  }
  if (a.size() > name.size() && a.substr(0, name.size()) == name && a[name.size()] == '=') {
    value = std::string(a.substr(name.size() + 1));
    ++i;
    return true;
  }
  return false;
}

int runturmcli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    printusage(err);
    return kExitFailure;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    printusage(out);
    return kExitOk;
  }
  if (const clicommand* c = findcommand(args[0])) {
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
      if (a == "--help" || a == "-h") {
        printcommandusage(*c, out);
        return kExitOk;
      }
    }
    return c->run(rest, out, err);
  }
  say(err, std::string("turmcli: unbekannter Befehl \""_w) + pathtext(args[0]) + "\"");
  printusage(err);
  return kExitFailure;
}
