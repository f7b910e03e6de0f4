// Printing the current result list (resultlist[1..resultcount] of the open
// database) as UTF-8.
//
// grid:    the list screen as text: title, header and criteria line, then
//          one line per entry laid out as renderline(rowpieces()) of the
//          window.  The three head lines are printed also for an empty list.
// csv:     "nr,datnr,type,netid,operator,area,cellid,longitude,latitude,range,dist,enb,sector"
//          and one line per entry: area and cellid in hexadecimal,
//          coordinates and dist with six decimals, dist empty unless
//          surroundingresult, enb and sector empty unless the cell is LTE.
// geojson: one RFC 7946 FeatureCollection, a Point feature per entry
//          ([longitude, latitude]) with the properties nr, datnr, type,
//          net, operator, area, cell, cell_hex, range_m, for an LTE cell
//          enb and sector, and, after a surrounding search, dist.
// kml:     one KML 2.2 document with one Folder (named like the document,
//          after the selection; empty when nothing was selected), a
//          Placemark per entry with the same fields as ExtendedData.
// Area and cell id are the whole values (24 and 36 bits of an NR cell);
// enb is an LTE cell id / 256 and sector the cell id mod 256 (the eNodeB
// and its sector); for other types the CSV fields are empty and the
// GeoJSON properties and KML data absent.
// GeoJSON and KML write each coordinate as the shortest decimal that reads
// back to the stored real (export/shortestreal.h), so nothing is lost.
//
// Text from the database (the type text) never brings control bytes to
// the output: each one is written as "?".  An entry whose coordinates are
// no place on earth (longitude outside -180..180 or latitude outside
// -90..90: a damaged file) is left out of every format, so that the output
// stays valid; the other entries keep their numbers (nr).
//
// limit caps the entries (-1: all).  Records the search kept a copy of
// (celldb/keptrecords.h) are taken from there; the others are read in runs
// of nearby record numbers, one positioned read per run.  Every row is
// formatted straight into one output buffer.  Returns the number of
// entries left out.  Throws IoError when a record cannot be read (the rows
// before it are written).
//
// progress, when set, is called every kPrintProgressEvery entries with the
// entries done and the entries to do; when it answers false the output
// stops there with the exception listprintstopped (what was formatted is
// written first).
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>

// The output formats of a result list.
enum class listformat { kGrid, kCsv, kGeojson, kKml };

using listprintprogress = std::function<bool(std::int64_t done, std::int64_t total)>;
inline constexpr std::int64_t kPrintProgressEvery = 16384;
struct listprintstopped {};

std::int64_t printresultlist(std::ostream& out, listformat format, std::int64_t limit,
                             const listprintprogress& progress = {});
