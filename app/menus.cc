// The menu descriptions of the main window.
#include <QEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMenuBar>
#include <string>

#include "app/taw.h"
#include "lib/support/w1252.h"

void DescribeMenu(int id, MenuDescription& d, PictureList& pictures) {
  d.clear();
  pictures.fill(0);
  int last = 1;
  setmenuitem(1, 50, "Zurück"_w, "", d);
  switch (id) {
    case 101:
      setmenuitem(1, 1, "&Schließen"_w, "Das Programm schließen"_w, d);
      setsubmenuitem(2, 22, "Daten", d);
      setmenuitem(3, 51, "Turmfinder zeigen", "", d);
      setsubmenuitem(4, 20, "Einstellungen", d);
      setmenuitem(5, 93, "Hilfe", "", d);
      setmenuitem(6, 60, "Über"_w, "Über Turmfinder"_w, d);
      last = 6;
      break;
    case 102:
      setmenuitem(2, 53, "Zellenauswahl", "", d);
      setsubmenuitem(3, 21, "Umgebungs.Auswahl", d);
      setsubmenuitem(4, 23, "Auf Karte zeigen", d);
      setmenuitem(5, 67, "Liste exportieren…"_w, "Liste als Datei speichern", d);
      last = 5;
      break;
    case 20:
      setmenuitem(1, 61, "Bildschirm-Schrift", "Schrift wählen"_w, d);
      setmenuitem(2, 62, "Dialog-Schrift", "Schrift wählen"_w, d);
      setmenuitem(3, 64, "Markerbeschriftung", "", d);
      last = 3;
      break;
    case 21:
      setmenuitem(1, 57, "Umgebende Objekte auswählen"_w, "", d);
      setmenuitem(2, 63, "Objekte nahe einer Position auswählen"_w, "", d);
      last = 2;
      break;
    case 22:
      setmenuitem(1, 58, "Turmfinder in Deutschland", "", d);
      setmenuitem(2, 59, "Turmfinder in Berlin", "", d);
      setmenuitem(3, 65, "Export einlesen…"_w,
                  "Neue Datenbank aus Export", d);
      setmenuitem(4, 66, "Tages-Diff einspielen…"_w,
                  "Datenbank aktualisieren", d);
      last = 4;
      break;
    case 23:
      setmenuitem(1, 54, "gewähltes Objekt in Google-Maps zeigen"_w, "", d);
      setmenuitem(2, 55, "gewähltes Objekt in Open-Maps zeigen"_w, "", d);
      setmenuitem(3, 56, "Objekte in Open-Maps zeigen", "", d);
      last = 3;
      break;
    default:
      break;
  }
  d.count = static_cast<std::uint8_t>(last);
}

void TAW::ShowMenu(int id) {
  QMenuBar* bar = buildmainmenu(this, id, DescribeMenu, [this](QObject* sender) { MenuCommand(sender); });
  // A hint belongs to the menu item under the pointer: it goes when its
  // menu closes, when the pointer leaves the menu bar and with the old bar.
  clearhint();
  if (bar == nullptr) return;
  bar->installEventFilter(this);
  for (QMenu* menu : bar->findChildren<QMenu*>())
    connect(menu, &QMenu::aboutToHide, this, [this] { clearhint(); });
}

bool TAW::eventFilter(QObject* watched, QEvent* event) {
  // (menuBar() would make an empty bar while one is being replaced.)
  if (qobject_cast<QMenuBar*>(watched) != nullptr) {
    // The pointer left the bar, or the bar gave the keyboard back (Escape,
    // a click elsewhere, Alt released): no item is chosen any more.  Its own
    // menus opening take the keyboard for a while only.
    if (event->type() == QEvent::Leave) clearhint();
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
      clearhint();
  }
  return TZowindow::eventFilter(watched, event);
}
