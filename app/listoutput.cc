// The list taken elsewhere: "Liste exportieren…" (CSV, GeoJSON or KML, the
// bytes turmcli gives for the same list) and copies of one entry to the
// clipboard (Ctrl+C and the context menu of a row).
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QProgressDialog>
#include <string>
#include <vector>

#include "app/core/workfolder.h"
#include "app/taw.h"
#include "celldb/database.h"
#include "export/listfile.h"
#include "lib/support/ioerror.h"
#include "lib/support/messages.h"
#include "lib/support/strnum.h"
#include "lib/support/w1252.h"
#include "maps/maplinks.h"
#include "platform/filedialog.h"
#include "platform/qt/qttext.h"
#include "query/listrows.h"
#include "query/liststate.h"

namespace {

// The types of the export dialog, in the order of its list.
struct exporttype {
  const char* name;
  const char* pattern;
  const char* extension;
  listformat format;
};
constexpr exporttype kExportTypes[] = {
    {"CSV-Datei", "*.csv", ".csv", listformat::kCsv},
    {"GeoJSON-Datei", "*.geojson", ".geojson", listformat::kGeojson},
    {"KML-Datei", "*.kml", ".kml", listformat::kKml},
};
constexpr int kExportTypeCount = static_cast<int>(sizeof kExportTypes / sizeof kExportTypes[0]);

// Below this many entries the list is written without a progress dialog.
constexpr std::int32_t kProgressFrom = 100'000;

std::string entries(std::int64_t n) {
  return groupdigits(static_cast<std::uint64_t>(n)) + (n == 1 ? " Eintrag" : std::string(" Einträge"_w));
}

}  // namespace

void TAW::exportlist() {
  std::vector<FileFilter> types;
  for (const exporttype& t : kExportTypes) types.push_back({t.name, t.pattern});
  int initial = lastexporttype_ >= 0 && lastexporttype_ < kExportTypeCount ? lastexporttype_ : 0;
  auto choice = filedialog().savefile(std::string("Liste exportieren"), workingfolder(),
                                      std::string("turmliste") + kExportTypes[initial].extension, types,
                                      initial);
  if (!choice || choice->path.empty()) return;
  int type = choice->filter >= 0 && choice->filter < kExportTypeCount ? choice->filter : 0;
  lastexporttype_ = type;
  // A name with an extension of its own says the format; the chosen type
  // answers for any other name.
  listformat format = listformatforpath(choice->path, kExportTypes[type].format);

  // The open file stays the one the list belongs to until the list is
  // written, also when another run replaces it meanwhile.
  ++holdfile_;
  listfileresult result;
  {
    std::unique_ptr<QProgressDialog> progress;
    if (resultcount >= kProgressFrom) {
      progress = std::make_unique<QProgressDialog>(
          toqstring("Die Liste wird in " + pathtext(choice->path) + std::string(" geschrieben …"_w)),
          toqstring("Abbrechen"), 0, 1000, this);
      progress->setObjectName(QStringLiteral("exportprogress"));
      progress->setWindowTitle(QStringLiteral("Turmfinder"));
      progress->setWindowModality(Qt::WindowModal);
      progress->setMinimumDuration(300);
      progress->setAutoClose(false);
      progress->setAutoReset(false);
      progress->setValue(0);
    }
    busycursor(this);
    result = writelistfile(choice->path, format, [&](std::int64_t done, std::int64_t total) {
      if (!progress) return true;
      progress->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
      QApplication::processEvents();
      return !progress->wasCanceled();
    });
    normalcursor(this);
  }
  --holdfile_;
  if (result.stopped) {
    infomessage("Der Export wurde abgebrochen; " + pathtext(choice->path) + std::string(" blieb unverändert."_w));
  } else if (!result.ok) {
    errormessage(result.error + std::string(". Die Liste wurde nicht exportiert."_w));
  } else {
    std::string text = entries(result.written) + " in " + pathtext(choice->path) + " geschrieben.";
    if (result.leftout > 0)
      text += "\n" + entries(result.leftout) + std::string(" ohne gültige Koordinaten (beschädigte Datei) ausgelassen."_w);
    infomessage(text);
  }
  // A replacement found while the list was written is taken up now.
  invalidate();
}

std::string TAW::entrytext(std::int32_t index, int what) {
  std::int32_t recno = resultlist[static_cast<std::size_t>(index)];
  ttowerrec rec = readtower(recno);
  if (what == kCopyGoogle) return GoogleMapsLink(rec.latitude, rec.longitude);
  if (what == kCopyOsm) return OpenStreetMapLink(rec.longitude, rec.latitude);
  // The row with its column names above it, tab-separated; Dist only
  // after a surrounding search.
  RowPieces head = headerpieces(), row = rowpieces(rec, index, recno);
  std::string names, values;
  for (std::size_t k = 0; k < head.size(); ++k) {
    if (head[k].column == listcolumn::kDist && !surroundingresult) continue;
    std::string value;
    for (const RowPiece& p : row)
      if (p.column == head[k].column) value = p.text;
    while (!value.empty() && value.front() == ' ') value.erase(value.begin());
    names += (k > 0 ? "\t" : "") + head[k].text;
    values += (k > 0 ? "\t" : "") + value;
  }
  return names + "\n" + values + "\n";
}

void TAW::copyentry(int what) {
  std::int32_t recno = 0;
  if (!selectedrecord(recno)) return;
  try {
    QApplication::clipboard()->setText(toqstring(entrytext(selectedline, what)));
    statuspaneltext(3, mainstatusbar, what == kCopyRow ? "Zeile kopiert" : "Link kopiert");
  } catch (const IoError& e) {
    errormessage(std::string("Lesefehler: ") + e.what());
  }
}

void TAW::showentrymenu(const QPoint& where) {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("entrymenu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  struct item {
    const char* name;
    std::string caption;
    int what;
  };
  const item items[] = {
      {"copyrow", std::string("Zeile kopieren\tStrg+C"), kCopyRow},
      {"copygoogle", std::string("Google-Maps-Link kopieren"), kCopyGoogle},
      {"copyosm", std::string("OpenStreetMap-Link kopieren"), kCopyOsm},
  };
  for (const item& i : items) {
    QAction* a = menu->addAction(toqstring(i.caption));
    a->setObjectName(QString::fromLatin1(i.name));
    int what = i.what;
    connect(a, &QAction::triggered, this, [this, what] { copyentry(what); });
  }
  menu->popup(where);
}
