#include "ingest/exportreader.h"

#include "lib/support/w1252.h"

bool readexportheader(csvreader& csv, const std::string& path, csvcolumns& columns,
                      std::string& error) {
  switch (csv.next()) {
    case csvreader::kRecord: break;
    case csvreader::kEnd:
      error = std::string("Datei "_w) + pathtext(path) +
              std::string(" ist leer (keine Kopfzeile)"_w);
      return false;
    case csvreader::kError: error = csv.error(); return false;
  }
  std::string missing;
  if (!findcolumns(csv.fields().data(), csv.fields().size(), columns, missing)) {
    error = std::string("Kopfzeile von "_w) + pathtext(path) +
            std::string(": Spalte fehlt: "_w) + missing;
    return false;
  }
  csv.setfieldlimit(columns.needed);
  // Rows of other countries (about half of the world's) are only counted.
  csv.setpassover(static_cast<std::size_t>(columns.mcc), isothercountry);
  return true;
}
